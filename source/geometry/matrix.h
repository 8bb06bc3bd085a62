#pragma once

#include "vector.h"

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
