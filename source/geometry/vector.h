#pragma once

#include "types.h"

#include <cmath>

// Double-precision 3-vector of the camera frame: +X right, +Y up, +Z forward.
struct Vector {
  Float x = 0.0;
  Float y = 0.0;
  Float z = 0.0;

  constexpr Vector() = default;
  constexpr explicit Vector(Float value) : x(value), y(value), z(value) {}
  constexpr Vector(Float xValue, Float yValue, Float zValue) : x(xValue), y(yValue), z(zValue) {}

  constexpr Vector operator+(const Vector& other) const { return {x + other.x, y + other.y, z + other.z}; }
  constexpr Vector operator-(const Vector& other) const { return {x - other.x, y - other.y, z - other.z}; }
  constexpr Vector operator-() const { return {-x, -y, -z}; }
  constexpr Vector operator*(Float scale) const { return {x * scale, y * scale, z * scale}; }
  constexpr Vector operator/(Float scale) const { return {x / scale, y / scale, z / scale}; }
  constexpr Vector& operator+=(const Vector& other) { return *this = *this + other; }
  constexpr Vector& operator-=(const Vector& other) { return *this = *this - other; }
  constexpr Vector& operator*=(Float scale) { return *this = *this * scale; }
  constexpr bool operator==(const Vector& other) const = default;

  constexpr Float GetSquaredLength() const { return x * x + y * y + z * z; }
  Float GetLength() const { return std::sqrt(GetSquaredLength()); }

  // A zero vector stays zero instead of turning into NaN.
  Vector GetNormalized() const {
    const Float length = GetLength();
    return length > 0.0 ? *this / length : Vector();
  }
};

constexpr Vector operator*(Float scale, const Vector& vector) { return vector * scale; }

constexpr Float Dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

constexpr Vector Cross(const Vector& a, const Vector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
