#pragma once

#include "c4d_math.h"

namespace orvex {

// Cube face numbers as the artist picks them; -1 stands for no face.
enum CubeFace : Int32 {
  kCubeFaceNone = -1,
  kCubeFaceLeft = 0,
  kCubeFaceRight = 1,
  kCubeFaceDown = 2,
  kCubeFaceUp = 3,
  kCubeFaceBack = 4,
  kCubeFaceFront = 5,
};

inline constexpr Int32 kCubeFaceCount = 6;

constexpr Bool IsCubeFace(Int32 face) { return face >= 0 && face < kCubeFaceCount; }

// Unit direction through (u, v) of a 90-degree cube face, in the lens frame (the frame change
// turns it into the camera frame). A number that is no face gives a zero vector.
inline Vector CubeFaceDirection(Int32 face, Float u, Float v) {
  const Float a = 2.0 * u - 1.0;
  const Float b = 2.0 * v - 1.0;
  Vector d;
  switch (face) {
    case kCubeFaceLeft:
      d = {-1.0, -a, -b};
      break;
    case kCubeFaceRight:
      d = {1.0, a, -b};
      break;
    case kCubeFaceDown:
      d = {a, b, -1.0};
      break;
    case kCubeFaceUp:
      d = {a, -b, 1.0};
      break;
    case kCubeFaceBack:
      d = {-a, 1.0, -b};
      break;
    case kCubeFaceFront:
      d = {a, -1.0, -b};
      break;
    default:
      return {};
  }
  // Never zero here; one reciprocal instead of three divisions.
  return d * (1.0 / d.GetLength());
}

// A face and texture coordinates on it.
struct CubeFaceUv {
  Int32 face = kCubeFaceNone;
  Float u = 0.0;
  Float v = 0.0;
};

// Inverse of CubeFaceDirection: the one face a lens-frame direction passes through, and where.
// On an edge or corner the face of the first largest component (x, then y, then z) wins. A zero
// vector passes through no face.
CubeFaceUv CubeFaceUvFromDirection(const Vector& d);

}  // namespace orvex
