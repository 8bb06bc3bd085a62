#include "view_transform.h"

#include <algorithm>
#include <cmath>

std::optional<ViewTransform> ViewTransformNamed(const std::string& name) {
  if (name == "standard") return ViewTransform::Standard;
  if (name == "neutral") return ViewTransform::Neutral;
  return std::nullopt;
}

const char* ViewTransformName(ViewTransform view) {
  return view == ViewTransform::Neutral ? "neutral" : "standard";
}

Vector FilmResponse::Apply(const Vector& light) const {
  const Vector exposed = exposure == 0.0 ? light : light * std::exp2(exposure);
  return display && view == ViewTransform::Neutral ? PbrNeutral(exposed) : exposed;
}

Vector PbrNeutral(const Vector& colour) {
  constexpr Float kStartCompression = 0.8 - 0.04;
  constexpr Float kDesaturation = 0.15;
  const Float lowest = std::min({colour.x, colour.y, colour.z});
  // A small offset keeps dark colours from drifting in hue.
  const Float offset = lowest < 0.08 ? lowest - 6.25 * lowest * lowest : 0.04;
  Vector shifted = colour - Vector(offset);
  const Float peak = std::max({shifted.x, shifted.y, shifted.z});
  if (peak < kStartCompression) return shifted;
  constexpr Float kRoom = 1.0 - kStartCompression;
  const Float newPeak = 1.0 - kRoom * kRoom / (peak + kRoom - kStartCompression);
  shifted = shifted * (newPeak / peak);
  const Float toWhite = 1.0 - 1.0 / (kDesaturation * (peak - newPeak) + 1.0);
  return shifted * (1.0 - toWhite) + Vector(newPeak) * toWhite;
}

Float ClippedShare(const FloatImage& image) {
  size_t covered = 0;
  size_t clipped = 0;
  for (Int32 y = 0; y < image.height; ++y) {
    const Float32* pixel = image.Row(y);
    for (Int32 x = 0; x < image.width; ++x, pixel += FloatImage::kChannels) {
      if (!(pixel[3] > 0.0f)) continue;
      ++covered;
      clipped += pixel[0] >= 1.0f && pixel[1] >= 1.0f && pixel[2] >= 1.0f ? 1 : 0;
    }
  }
  return covered > 0 ? static_cast<Float>(clipped) / covered : 0.0;
}
