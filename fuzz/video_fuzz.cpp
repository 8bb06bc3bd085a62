// libFuzzer target: any bytes as a video file, read the way `orvex360 info` reads one: told apart by
// its content, probed (its stream and a count of its whole frames) and verified (every frame
// decoded), through the host's video seam and its FFmpeg library.
#include "video/video_input.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// One file, rewritten for every input: the readers take a path, as they do in the tool.
const std::string& InputPath() {
  static const std::string path = [] {
    char name[] = "/tmp/orvex360-video-fuzz-XXXXXX";
    const int descriptor = mkstemp(name);
    if (descriptor < 0) std::abort();
    close(descriptor);
    return std::string(name);
  }();
  return path;
}

bool WriteInput(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteInput(data, size)) std::abort();
  if (!video_input::IsVideoFile(InputPath())) return 0;
  video_codec::StreamFacts facts;
  std::string error;
  video_input::Probe(InputPath(), facts, error);
  long long frames = 0;
  video_input::Verify(InputPath(), frames, error);
  return 0;
}
