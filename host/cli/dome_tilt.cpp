#include "dome_tilt.h"

#include "c4d_tools.h"

#include <cstdio>
#include <numbers>

namespace {

constexpr double kMaxTiltDegrees = 90.0;

bool HasDome(CameraKind kind) {
  return kind == CameraKind::Fulldome || kind == CameraKind::Fisheye || kind == CameraKind::LittlePlanet;
}

}  // namespace

void AddTiltOption(CLI::App& render, std::string& degrees) {
  render
      .add_option(
          "--tilt", degrees,
          "Tilt of a dome (fulldome, fisheye, little-planet) in degrees: the camera keeps its kind's "
          "turn (or --rotate's, which replaces that turn) and turns down by this much about its own "
          "horizontal axis; a fulldome tilted 30 looks up at 60 degrees, its zenith towards the front")
      ->check(CLI::Range(-kMaxTiltDegrees, kMaxTiltDegrees));
}

bool ApplyTilt(const std::string& degrees, const CameraKindInfo& kind, BaseObject& camera,
               std::string& error) {
  if (degrees.empty()) return true;
  if (!HasDome(kind.kind)) {
    error = std::string("--tilt leans a dome (fulldome, fisheye, little-planet), not a ") + kind.name +
            " camera; --rotate turns any camera";
    return false;
  }
  const double radians = std::stod(degrees) * std::numbers::pi / 180.0;
  camera.SetMl(camera.GetMl() * RotX(-radians));
  return true;
}

std::string RotationText(const BaseObject& camera) {
  // Twelve digits read back as the turn rendered, and -0 as 0.
  const Vector hpb = camera.GetRelRot() * (180.0 / std::numbers::pi) + Vector(0.0, 0.0, 0.0);
  char text[96];
  std::snprintf(text, sizeof(text), "%.12g,%.12g,%.12g", hpb.x, hpb.y, hpb.z);
  return text;
}
