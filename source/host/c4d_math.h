#pragma once

#include <cmath>
#include <cstdint>

// The interface's scalar, vector and matrix types, as an SDK ships them: the host implements its
// calls with them, and the module's mathematics (source/geometry) is written in them.

// Scalar types.
using Int32 = std::int32_t;
using UInt32 = std::uint32_t;
using Int64 = std::int64_t;
using Float = double;
using Float32 = float;
using Bool = bool;
using Char = char;

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

// Affine matrix: a point p maps to offset + axisX * p.x + axisY * p.y + axisZ * p.z.
// Products compose left to right: (M * N) applies N first, then M.
struct Matrix {
  Vector offset;
  Vector axisX{1.0, 0.0, 0.0};
  Vector axisY{0.0, 1.0, 0.0};
  Vector axisZ{0.0, 0.0, 1.0};

  constexpr Matrix() = default;
  constexpr Matrix(const Vector& offsetValue, const Vector& x, const Vector& y, const Vector& z)
      : offset(offsetValue), axisX(x), axisY(y), axisZ(z) {}

  constexpr bool operator==(const Matrix& other) const = default;

  // Rotation and scale only: directions ignore the offset.
  constexpr Vector TransformDirection(const Vector& v) const {
    return axisX * v.x + axisY * v.y + axisZ * v.z;
  }
  constexpr Vector TransformPoint(const Vector& p) const { return offset + TransformDirection(p); }
  constexpr Vector operator*(const Vector& p) const { return TransformPoint(p); }

  constexpr Matrix operator*(const Matrix& inner) const {
    return {TransformPoint(inner.offset), TransformDirection(inner.axisX), TransformDirection(inner.axisY),
            TransformDirection(inner.axisZ)};
  }

  // The same matrix without its offset.
  constexpr Matrix GetRotationPart() const { return {Vector(), axisX, axisY, axisZ}; }
};
