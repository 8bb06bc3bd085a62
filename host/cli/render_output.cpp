#include "render_output.h"

#include "image/image_output.h"
#include "video/video_output.h"

#include <filesystem>

bool CheckRenderOutput(const std::string& path, std::string& error) {
  if (video_output::IsVideoPath(path)) return video_output::CheckWritable(path, error);
  if (image_output::IsSupportedPath(path)) return image_output::CheckWritable(path, error);
  const std::string name = std::filesystem::path(path).filename().string();
  // ".mp4" alone is a hidden file's name without a suffix, not a video.
  const std::string lacks = !name.empty() && name[0] == '.' && name.find('.', 1) == std::string::npos
                                ? "a name before its suffix"
                                : "a suffix a render writes";
  error = "cannot write \"" + path + "\": the name needs " + lacks + ": " + image_output::kSuffixes +
          " (images) or " + video_output::kSuffixes + " (one video)";
  return false;
}
