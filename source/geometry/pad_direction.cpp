#include "geometry/pad_direction.h"

#include "c4d_math.h"
#include "geometry/scalar_math.h"

#include <algorithm>
#include <cmath>

namespace orvex {
namespace {

Float InsideMap(Float coordinate) {
  return std::isfinite(coordinate) ? std::clamp(coordinate, 0.0, 1.0) : 0.5;
}

// The pad over a fisheye image: radius from the centre is the angle from the lens axis.
Vector FisheyePadDirection(const PadPosition& pad, bool dome, Float fov) {
  const Float px = 2.0 * pad.u - 1.0;
  const Float py = 2.0 * (1.0 - pad.v) - 1.0;
  const Float r = std::sqrt(px * px + py * py);
  const Float phi = std::atan2(py, px);
  const Float theta = r * fov / 2.0;
  Vector d(std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta));
  d = Vector(-d.y, d.x, d.z);
  if (!dome) d = Vector(d.z, d.y, -d.x);
  return d;
}

// The pad over an equirect map: u runs around the horizon, v from the zenith to the nadir.
Vector PanoramaPadDirection(const PadPosition& pad) {
  const Float around = kTwoPi * ((1.0 - pad.u) - 0.25);
  const Float polar = pad.v * kPi;
  const Vector d(std::sin(polar) * std::cos(around), -std::sin(polar) * std::sin(around), std::cos(polar));
  return Vector(-d.y, d.x, d.z);
}

// Longitude in (-pi, pi].
Float LongitudeOf(const Vector& d) {
  Float lon = std::atan2(d.y, d.x);
  if (lon < 0.0) lon += kTwoPi;
  if (lon >= kTwoPi) lon -= kTwoPi;
  return lon > kPi ? lon - kTwoPi : lon;
}

// Latitude with the arc sine's argument limited; the limits are single-precision half pi.
Float LatitudeOf(const Vector& d) {
  constexpr Float kHalfPiSingle = static_cast<Float>(static_cast<Float32>(kHalfPi));
  if (d.z >= 1.0) return kHalfPiSingle;
  if (d.z <= -1.0) return -kHalfPiSingle;
  return std::asin(d.z);
}

}  // namespace

PadDirection PadToDirection(PadPosition pad, bool fisheye, bool dome, Float fisheyeFov) {
  pad = {InsideMap(pad.u), InsideMap(pad.v)};
  const Float fov = std::isfinite(fisheyeFov) ? fisheyeFov : kPi;
  const Vector d = fisheye ? FisheyePadDirection(pad, dome, fov) : PanoramaPadDirection(pad);
  return {LatitudeOf(d), LongitudeOf(d)};
}

}  // namespace orvex
