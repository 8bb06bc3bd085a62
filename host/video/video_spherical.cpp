#include "video_spherical.h"

namespace {

using video_codec::Projection;
using video_codec::StereoLayout;

std::string Text(const ImageMetadata& metadata, const char* vocabulary, const char* name) {
  const MetadataProperty* property = metadata.Find(vocabulary, name);
  return property ? property->value : std::string();
}

long long Integer(const ImageMetadata& metadata, const char* name) {
  const std::string text = Text(metadata, "GPano", name);
  return text.empty() ? 0 : std::stoll(text);
}

// The cut of one axis as a pair of 0.32 fixed-point fractions of the full panorama (`before` the
// picture and after it). Readers that round FFmpeg's way (the full size down, the first bound up)
// must get the exact pixels back, so the first bound is rounded down and the pair's sum up; either
// is within 2^-32 of the exact fraction.
void CutBounds(long long before, long long picture, long long full, uint32_t& first, uint32_t& second) {
  first = second = 0;
  const long long cut = full - picture;
  if (full <= 0 || cut <= 0 || before < 0 || before > cut) return;
  const uint64_t one = UINT32_MAX;
  const uint64_t sum = (one * cut + full - 1) / full;
  first = static_cast<uint32_t>(one * before / full);
  second = static_cast<uint32_t>(sum - first);
}

// The photo-sphere crop of one eye's picture as the bounds of a tile of the full panorama.
void PlanEquirect(const ImageMetadata& metadata, video_codec::Spherical& spherical) {
  spherical.projection = Projection::Equirectangular;
  CutBounds(Integer(metadata, "CroppedAreaLeftPixels"), Integer(metadata, "CroppedAreaImageWidthPixels"),
            Integer(metadata, "FullPanoWidthPixels"), spherical.boundLeft, spherical.boundRight);
  CutBounds(Integer(metadata, "CroppedAreaTopPixels"), Integer(metadata, "CroppedAreaImageHeightPixels"),
            Integer(metadata, "FullPanoHeightPixels"), spherical.boundTop, spherical.boundBottom);
}

void PlanProjection(const ImageMetadata& metadata, VideoSphericalPlan& plan) {
  const std::string projection = Text(metadata, "orvex360", "Projection");
  if (projection == "equirectangular") {
    PlanEquirect(metadata, plan.spherical);
  } else if (projection == "cubemap" && Text(metadata, "orvex360", "CubemapFaces") == kStandardCubemapFaces) {
    plan.spherical.projection = Projection::Cubemap;
  } else if (projection == "cubemap") {
    plan.notes.push_back("warning: the " + Text(metadata, "orvex360", "CubemapLayout") +
                         " cubemap's faces do not lie as in the standard 3x2 cubemap of 360 video (right, "
                         "left, up / down, front, back, the up face's top towards the front): the video "
                         "carries no projection, and players will show it flat");
  } else if (!projection.empty()) {
    plan.notes.push_back(
        "the " + projection +
        " picture carries no spherical metadata: players will show it flat, not as a sphere");
  }
}

void PlanStereo(const ImageMetadata& metadata, video_codec::Container container, VideoSphericalPlan& plan) {
  const std::string stereo = Text(metadata, "orvex360", "Stereo");
  if (stereo == "side-by-side") {
    const bool topBottom = Text(metadata, "orvex360", "StereoLayout") == "top-bottom";
    const std::string leftEye = Text(metadata, "orvex360", "LeftEye");
    plan.spherical.stereo = topBottom ? StereoLayout::TopBottom : StereoLayout::SideBySide;
    plan.spherical.rightEyeFirst = leftEye != "left" && leftEye != "top";
    // MP4's stereo box knows only the left eye first.
    if (plan.spherical.rightEyeFirst && container == video_codec::Container::Mp4) {
      plan.spherical.stereo = StereoLayout::Mono;
      plan.spherical.rightEyeFirst = false;
      plan.notes.push_back(
          "warning: the eyes are swapped (the right eye first), which an MP4 file cannot say: the video is "
          "not marked as stereo (a .mkv file can say it)");
    }
  } else if (stereo == "anaglyph" || stereo == "interlaced") {
    plan.notes.push_back("the " + stereo +
                         " stereo picture is not marked as stereo: players show it as one picture");
  }
}

}  // namespace

VideoSphericalPlan PlanVideoSpherical(const ImageMetadata& metadata, video_codec::Container container) {
  VideoSphericalPlan plan;
  PlanProjection(metadata, plan);
  PlanStereo(metadata, container, plan);
  return plan;
}
