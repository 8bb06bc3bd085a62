#include "gltf_convention.h"

#include <cmath>

namespace gltf_convention {

Vector Point(const std::array<double, 3>& p) { return Vector(p[0], p[1], -p[2]) * kSceneUnitsPerMetre; }

Vector Direction(const std::array<double, 3>& d) { return Vector(d[0], d[1], -d[2]); }

Matrix NodeMatrix(const std::array<double, 16>& m) {
  // Columns 0..2 are the images of the basis vectors, column 3 the translation. S * M * S mirrors
  // each column's z and negates the whole z column.
  const auto column = [&m](int c) { return Direction({m[4 * c], m[4 * c + 1], m[4 * c + 2]}); };
  return Matrix(Point({m[12], m[13], m[14]}), column(0), column(1), -column(2));
}

Matrix NodeMatrix(const std::array<double, 3>& t, const std::array<double, 4>& q,
                  const std::array<double, 3>& s) {
  const double x = q[0], y = q[1], z = q[2], w = q[3];
  // Column-major rotation matrix of the unit quaternion, columns scaled.
  const std::array<double, 16> m = {(1 - 2 * (y * y + z * z)) * s[0],
                                    (2 * (x * y + z * w)) * s[0],
                                    (2 * (x * z - y * w)) * s[0],
                                    0,
                                    (2 * (x * y - z * w)) * s[1],
                                    (1 - 2 * (x * x + z * z)) * s[1],
                                    (2 * (y * z + x * w)) * s[1],
                                    0,
                                    (2 * (x * z + y * w)) * s[2],
                                    (2 * (y * z - x * w)) * s[2],
                                    (1 - 2 * (x * x + y * y)) * s[2],
                                    0,
                                    t[0],
                                    t[1],
                                    t[2],
                                    1};
  return NodeMatrix(m);
}

std::optional<LightUnits> LightUnitsNamed(const std::string& name) {
  if (name == "photometric") return LightUnits::Photometric;
  if (name == "unitless") return LightUnits::Unitless;
  return std::nullopt;
}

const char* LightUnitsName(LightUnits units) {
  return units == LightUnits::Unitless ? "unitless" : "photometric";
}

Float DirectionalIrradiance(Float intensity, LightUnits units) {
  // The shading's albedo / pi shows the base colour for an irradiance of pi.
  return units == LightUnits::Photometric ? intensity / kLumensPerWatt : intensity * M_PI;
}

Float PointIntensity(Float intensity, LightUnits units) {
  // The irradiance one metre away, spread over the square of the scene units in a metre.
  return DirectionalIrradiance(intensity, units) * kSceneUnitsPerMetre * kSceneUnitsPerMetre;
}

Float FocalLength(Float yfov, Float aspect, Float filmWidth) {
  // Half the film width over the tangent of half the horizontal field of view.
  return filmWidth * 0.5 / (aspect * std::tan(yfov * 0.5));
}

}  // namespace gltf_convention
