#include "check_summary.h"

namespace {

std::string FramesText(Int32 first, Int32 last) {
  if (first == last) return "frame " + std::to_string(first);
  return "frames " + std::to_string(first) + "-" + std::to_string(last) + " (" +
         std::to_string(static_cast<long long>(last) - first + 1) + " frames)";
}

// One written file, or a numbered one by its first and last frame.
std::string PathsText(const CommandFile& file, Int32 first, Int32 last) {
  const std::string firstPath = file.pathAt(first);
  const std::string lastPath = file.pathAt(last);
  return firstPath == lastPath ? firstPath : firstPath + " ... " + lastPath;
}

}  // namespace

std::string CheckSummary(BaseDocument* doc, const RenderOptions& options,
                         const std::vector<CommandFile>& files) {
  const Int32 firstFrame = options.firstFrame;
  const Int32 lastFrame = options.lastFrame;
  Int32 width = 0;
  Int32 height = 0;
  std::string unused;  // checked before: the render settings hold a size
  ReadResolution(*doc->GetActiveRenderData()->GetDataInstance(), width, height, unused);
  std::string outputs;
  for (const CommandFile& file : files) {
    if (file.read || file.pathAt(firstFrame).empty()) continue;
    // The output names itself; the other files say which option asked for them.
    const std::string named = file.option == "--output" ? "" : file.option + " ";
    outputs += (outputs.empty() ? "" : "; ") + named + PathsText(file, firstFrame, lastFrame);
  }
  return "orvex360: check passed: would render " + FramesText(firstFrame, lastFrame) + " of " +
         std::to_string(width) + " x " + std::to_string(height) + " to " + outputs;
}
