#pragma once

#include "c4d_math.h"
#include "geometry/scalar_math.h"

#include <cmath>

namespace orvex {

// Angles of a full equirectangular panorama: the azimuth depends on u alone, the polar angle on v.
inline Float EquirectAzimuth(Float u) { return kTwoPi * ((1.0 - u) - 0.25); }
inline Float EquirectPolar(Float v) { return v * kPi; }

// The sine and cosine of an angle, always worked out the same way, so that values kept in a table
// and values worked out per ray are the same to the bit.
struct SineCosine {
  Float sine = 0.0;
  Float cosine = 1.0;
};
inline SineCosine SineCosineOf(Float angle) { return {std::sin(angle), std::cos(angle)}; }

// The direction from the sines and cosines of the azimuth and the polar angle.
inline Vector EquirectDirectionOf(const SineCosine& azimuth, const SineCosine& polar) {
  return {polar.sine * azimuth.cosine, -polar.sine * azimuth.sine, polar.cosine};
}

// Unit direction through (u, v) of a full equirectangular panorama, in the lens frame. After the
// frame change v = 0 looks straight up, v = 1 straight down, u = 0.5 forward and u = 0.75 right;
// columns u = 0 and u = 1 meet behind the camera.
inline Vector EquirectDirection(Float u, Float v) {
  return EquirectDirectionOf(SineCosineOf(EquirectAzimuth(u)), SineCosineOf(EquirectPolar(v)));
}

// Lens-frame direction to panorama texture coordinates (u, v, 0), u in (0, 1]. Not the plain inverse
// of EquirectDirection: u comes out a quarter turn further round and v flipped (1 looks up), the
// frame in which the separation map is sampled.
Vector EquirectUvFromDirection(const Vector& d);

}  // namespace orvex
