#pragma once

#include "c4d_math.h"

namespace orvex {

// The lens formulas work in a frame whose pole is +Z; the frame change turns it a quarter turn
// about X into the camera frame (+Y up, +Z forward). Written out so the zeros stay exact.

// Rotation by +90 degrees about X: (x, y, z) -> (x, z, -y).
constexpr Vector FrameChange(const Vector& d) { return {d.x, d.z, -d.y}; }

// Rotation by -90 degrees about X: (x, y, z) -> (x, -z, y).
constexpr Vector InverseFrameChange(const Vector& d) { return {d.x, -d.z, d.y}; }

// The same two turns as matrices (RotX(pi/2) and RotX(-pi/2)).
inline constexpr Matrix kFrameChangeMatrix{Vector(), {1.0, 0.0, 0.0}, {0.0, 0.0, -1.0}, {0.0, 1.0, 0.0}};
inline constexpr Matrix kInverseFrameChangeMatrix{
    Vector(), {1.0, 0.0, 0.0}, {0.0, 0.0, 1.0}, {0.0, -1.0, 0.0}};

// m x kInverseFrameChangeMatrix, by moving axes instead of multiplying by zeros and ones.
constexpr Matrix WithInverseFrameChange(const Matrix& m) { return {m.offset, m.axisX, m.axisZ, -m.axisY}; }

}  // namespace orvex
