#pragma once

#include "c4d_math.h"
#include "geometry/scalar_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace orvex::test {

inline bool Near(const Vector& a, const Vector& b, Float tolerance) {
  return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance &&
         std::abs(a.z - b.z) <= tolerance;
}

inline bool Near(const Matrix& a, const Matrix& b, Float tolerance) {
  return Near(a.offset, b.offset, tolerance) && Near(a.axisX, b.axisX, tolerance) &&
         Near(a.axisY, b.axisY, tolerance) && Near(a.axisZ, b.axisZ, tolerance);
}

inline bool IsFinite(const Vector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

inline bool IsFinite(const Matrix& m) {
  return IsFinite(m.offset) && IsFinite(m.axisX) && IsFinite(m.axisY) && IsFinite(m.axisZ);
}

// count evenly spaced values from first to last, both ends included (poles, seams, edges).
inline std::vector<Float> Steps(Float first, Float last, int count) {
  std::vector<Float> values;
  for (int i = 0; i < count; ++i) values.push_back(first + (last - first) * i / (count - 1));
  return values;
}

// Unit directions over the whole sphere, both poles and every axis included.
inline std::vector<Vector> SphereDirections() {
  std::vector<Vector> directions;
  for (Float polar : Steps(0.0, kPi, 25)) {
    for (Float azimuth : Steps(-kPi, kPi, 49)) {
      directions.emplace_back(std::sin(polar) * std::cos(azimuth), std::sin(polar) * std::sin(azimuth),
                              std::cos(polar));
    }
  }
  return directions;
}

}  // namespace orvex::test
