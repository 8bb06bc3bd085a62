#include "preview_video.h"

#include "files/atomic_file.h"
#include "files/regular_file.h"
#include "image/web_image.h"
#include "video/stream_description.h"
#include "video/video_input.h"

#include <cstdio>

namespace fs = std::filesystem;

namespace preview_video {
namespace {

// A page holds the video in memory three times over (file, script text, decoded data); beyond this
// a browser tab gives up.
constexpr std::uintmax_t kMaxVideoBytes = 256ull << 20;

}  // namespace

bool Describe(const std::string& path, const PreviewHints& hints, PreviewLayout& layout,
              nlohmann::json& video, std::string& error) {
  video_codec::StreamFacts facts;
  if (!video_input::Probe(path, facts, error)) return false;
  if (!DescribePreview(DescribeStream(facts), hints, fs::path(path).filename().string(), facts.width,
                       facts.height, layout, error))
    return false;
  if (facts.codec != "h264")
    std::fprintf(stderr,
                 "orvex360: warning: browsers seldom play %s video; the page may stay black (--video-codec "
                 "h264 plays everywhere)\n",
                 facts.codec.c_str());
  const double fps = facts.rateDenominator > 0 ? double(facts.rateNumerator) / facts.rateDenominator : 0.0;
  video = {{"frames", facts.frames}, {"fps", fps}, {"name", fs::path(path).filename().string()}};
  return true;
}

bool Write(const std::string& path, const fs::path& folder, nlohmann::json& video, std::string& error) {
  std::vector<unsigned char> bytes;
  if (!regular_file::ReadWhole(path, kMaxVideoBytes, bytes, error)) {
    error = path + ": " + error;
    return false;
  }
  const bool matroska = fs::path(path).extension() == ".mkv";
  const std::string script = std::string("OrvexPreview.addVideo(\"data:") +
                             (matroska ? "video/x-matroska" : "video/mp4") + ";base64," + Base64(bytes) +
                             "\");\n";
  video["script"] = "video.js";
  return atomic_file::Write((folder / "video.js").string(),
                            std::vector<unsigned char>(script.begin(), script.end()), error);
}

}  // namespace preview_video
