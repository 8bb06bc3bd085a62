#include "video_info.h"

#include "video/video_input.h"

#include <cmath>
#include <cstdio>

namespace {

using video_codec::Projection;
using video_codec::StereoLayout;

constexpr double kFixedOne = 4294967296.0;  // 1.0 in 0.32 fixed point

// The bounds in pixels: how much of the full panorama is cut away on each side of the picture.
void PrintBounds(const video_codec::StreamFacts& facts) {
  const video_codec::Spherical& bounds = facts.mapping;
  const double fullWidth = facts.width * kFixedOne / (kFixedOne - bounds.boundLeft - bounds.boundRight);
  const double fullHeight = facts.height * kFixedOne / (kFixedOne - bounds.boundTop - bounds.boundBottom);
  const auto pixels = [](uint32_t bound, double full) { return std::lround(bound * full / kFixedOne); };
  std::printf("  bounds = left %ld, top %ld, right %ld, bottom %ld (pixels of a %ld x %ld full panorama)\n",
              pixels(bounds.boundLeft, fullWidth), pixels(bounds.boundTop, fullHeight),
              pixels(bounds.boundRight, fullWidth), pixels(bounds.boundBottom, fullHeight),
              std::lround(fullWidth), std::lround(fullHeight));
}

std::string ProjectionWords(const video_codec::StreamFacts& facts) {
  if (!facts.spherical) return "none (a flat picture)";
  return facts.mapping.projection == Projection::Cubemap ? "cubemap (3x2)" : "equirectangular";
}

std::string StereoWords(const video_codec::StreamFacts& facts) {
  if (!facts.stereoMarked || facts.mapping.stereo == StereoLayout::Mono) return "mono";
  const bool topBottom = facts.mapping.stereo == StereoLayout::TopBottom;
  const char* first = topBottom ? "top" : "left";
  return std::string(topBottom ? "top-bottom" : "side-by-side") + " (left eye " +
         (facts.mapping.rightEyeFirst ? (topBottom ? "bottom" : "right") : first) + ")";
}

}  // namespace

int PrintVideoInfo(const std::string& path) {
  std::string error;
  video_codec::StreamFacts facts;
  if (!video_input::Probe(path, facts, error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s: %s video, %s, %d x %d, %s\n", path.c_str(), facts.container.c_str(), facts.codec.c_str(),
              facts.width, facts.height, facts.pixelFormat.c_str());
  std::printf("  frame rate = %d/%d (%g fps)\n", facts.rateNumerator, facts.rateDenominator,
              static_cast<double>(facts.rateNumerator) / facts.rateDenominator);
  std::printf("  frames = %lld\n", facts.frames);
  std::printf("  projection = %s\n", ProjectionWords(facts).c_str());
  const video_codec::Spherical& bounds = facts.mapping;
  if (facts.spherical && (bounds.boundLeft || bounds.boundTop || bounds.boundRight || bounds.boundBottom))
    PrintBounds(facts);
  std::printf("  stereo = %s\n", StereoWords(facts).c_str());
  return 0;
}

int VerifyVideo(const std::string& path) {
  std::string error;
  long long frames = 0;
  if (!video_input::Verify(path, frames, error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s: complete (%lld frames)\n", path.c_str(), frames);
  return 0;
}
