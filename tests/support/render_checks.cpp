#include "render_checks.h"

#include "image/image_output.h"

#include <algorithm>
#include <iterator>

namespace render_test {

std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& start) {
  std::vector<std::string> found;
  std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
               [&start](const std::string& line) { return line.rfind(start, 0) == 0; });
  return found;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& separator) {
  std::string joined;
  for (const std::string& line : lines) joined += (joined.empty() ? "" : separator) + line;
  return joined;
}

std::string WriteImage(const std::string& path, const FloatImage& image) {
  std::string error;
  EXPECT_TRUE(image_output::Write(image, path, error)) << error;
  return path;
}

std::string WriteUniformImage(const std::string& path, Int32 width, Int32 height, Float32 value) {
  FloatImage image;
  EXPECT_TRUE(image.Allocate(width, height));
  std::fill(image.rgba.begin(), image.rgba.end(), value);
  return WriteImage(path, image);
}

CommandResult ExpectRendered(const TempFolder& folder, const std::string& arguments,
                             const std::string& shell) {
  CommandResult run = RenderCommand(folder, arguments, shell);
  EXPECT_EQ(run.exitCode, 0) << arguments << ": " << run.output;
  return run;
}

}  // namespace render_test
