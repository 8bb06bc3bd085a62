#include "stream_description.h"

#include "video_spherical.h"

#include <cmath>
#include <cstdint>

namespace {

using video_codec::Projection;
using video_codec::StereoLayout;

// One axis of a tile: the full panorama and the pixels cut before the picture, rounded as FFmpeg's
// own reader rounds them (the full size down, the cut before up), so a render's exact pixels return.
void Uncut(long long picture, uint32_t before, uint32_t after, long long& full, long long& cut) {
  const long double one = UINT32_MAX;
  const long double kept = one - before - after;
  full = kept > 0 ? static_cast<long long>(std::floor(picture * one / kept)) : picture;
  cut = static_cast<long long>(std::ceil(full * static_cast<long double>(before) / one));
}

void DescribeStereo(const video_codec::Spherical& mapping, ImageMetadata& metadata, int& eyeWidth,
                    int& eyeHeight) {
  if (mapping.stereo == StereoLayout::Mono) {
    metadata.SetText("orvex360", "Stereo", "mono");
    return;
  }
  const bool topBottom = mapping.stereo == StereoLayout::TopBottom;
  (topBottom ? eyeHeight : eyeWidth) /= 2;
  const char* first = topBottom ? "top" : "left";
  const char* second = topBottom ? "bottom" : "right";
  metadata.SetText("orvex360", "Stereo", "side-by-side");
  metadata.SetText("orvex360", "StereoLayout", topBottom ? "top-bottom" : "left-right");
  metadata.SetText("orvex360", "LeftEye", mapping.rightEyeFirst ? second : first);
  metadata.SetText("orvex360", "RightEye", mapping.rightEyeFirst ? first : second);
}

void DescribeEquirect(const video_codec::Spherical& mapping, int eyeWidth, int eyeHeight,
                      ImageMetadata& metadata) {
  long long fullWidth = 0, left = 0, fullHeight = 0, top = 0;
  Uncut(eyeWidth, mapping.boundLeft, mapping.boundRight, fullWidth, left);
  Uncut(eyeHeight, mapping.boundTop, mapping.boundBottom, fullHeight, top);
  metadata.SetText("orvex360", "Projection", "equirectangular");
  metadata.SetInteger("GPano", "CroppedAreaImageWidthPixels", eyeWidth);
  metadata.SetInteger("GPano", "CroppedAreaImageHeightPixels", eyeHeight);
  metadata.SetInteger("GPano", "FullPanoWidthPixels", fullWidth);
  metadata.SetInteger("GPano", "FullPanoHeightPixels", fullHeight);
  metadata.SetInteger("GPano", "CroppedAreaLeftPixels", left);
  metadata.SetInteger("GPano", "CroppedAreaTopPixels", top);
}

}  // namespace

ImageMetadata DescribeStream(const video_codec::StreamFacts& facts) {
  ImageMetadata metadata;
  if (!facts.spherical || facts.mapping.projection == Projection::Flat) return metadata;
  int eyeWidth = facts.width;
  int eyeHeight = facts.height;
  DescribeStereo(facts.mapping, metadata, eyeWidth, eyeHeight);
  if (facts.mapping.projection == Projection::Equirectangular) {
    DescribeEquirect(facts.mapping, eyeWidth, eyeHeight, metadata);
  } else {
    // The one cubemap 360 video knows.
    metadata.SetText("orvex360", "Projection", "cubemap");
    metadata.SetText("orvex360", "CubemapLayout", "grid-3x2");
    metadata.SetText("orvex360", "CubemapFaces", kStandardCubemapFaces);
  }
  return metadata;
}
