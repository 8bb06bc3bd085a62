#include "panorama_aspect.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

double NumberOf(const ImageMetadata& output, const char* vocabulary, const char* name) {
  const MetadataProperty* property = output.Find(vocabulary, name);
  return property ? std::strtod(property->value.c_str(), nullptr) : 0.0;
}

double Degrees(const ImageMetadata& output, const char* name) { return NumberOf(output, "orvex360", name); }

bool Says(const ImageMetadata& output, const char* name, const char* value) {
  const MetadataProperty* property = output.Find("orvex360", name);
  return property && property->value == value;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", value);
  return text;
}

}  // namespace

std::string PanoramaAspectWarning(const ImageMetadata& output) {
  if (!Says(output, "Projection", "equirectangular") || !Says(output, "Stereo", "mono")) return {};
  const auto width = static_cast<long long>(NumberOf(output, "GPano", "CroppedAreaImageWidthPixels"));
  const auto height = static_cast<long long>(NumberOf(output, "GPano", "CroppedAreaImageHeightPixels"));
  const double span = Degrees(output, "FieldOfViewDegrees");
  const double latitudes = Degrees(output, "LatitudeMaxDegrees") - Degrees(output, "LatitudeMinDegrees");
  if (!(span > 0.0) || !(latitudes > 0.0) || width < 1) return {};
  const double expected = static_cast<double>(width) * latitudes / span;
  // Within a pixel: the size rounds to whole pixels.
  if (std::abs(height - expected) <= 1.0) return {};
  const long long fitting = std::max(1LL, std::llround(expected));
  return "a panorama of " + Number(span) + " x " + Number(latitudes) + " degrees is " +
         std::to_string(width) + " x " + std::to_string(fitting) + " at this width, not " +
         std::to_string(width) + " x " + std::to_string(height) +
         ": it comes out squashed while its metadata still says " + Number(span) + " x " + Number(latitudes) +
         " degrees (-s " + std::to_string(width) + "x" + std::to_string(fitting) + ")";
}
