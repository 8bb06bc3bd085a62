#include "geometry/cube_face.h"

#include <cmath>

namespace orvex {
namespace {

// Texture coordinate from a component already divided by the dominant one: -1..1 to 0..1.
Float FaceCoordinate(Float along) { return (along + 1.0) * 0.5; }

CubeFaceUv XFace(const Vector& d) {
  const Float m = std::abs(d.x);
  if (d.x < 0.0) return {kCubeFaceLeft, FaceCoordinate(-d.y / m), FaceCoordinate(-d.z / m)};
  return {kCubeFaceRight, FaceCoordinate(d.y / m), FaceCoordinate(-d.z / m)};
}

CubeFaceUv YFace(const Vector& d) {
  const Float m = std::abs(d.y);
  if (d.y > 0.0) return {kCubeFaceBack, FaceCoordinate(-d.x / m), FaceCoordinate(-d.z / m)};
  return {kCubeFaceFront, FaceCoordinate(d.x / m), FaceCoordinate(-d.z / m)};
}

CubeFaceUv ZFace(const Vector& d) {
  const Float m = std::abs(d.z);
  if (d.z < 0.0) return {kCubeFaceDown, FaceCoordinate(d.x / m), FaceCoordinate(d.y / m)};
  return {kCubeFaceUp, FaceCoordinate(d.x / m), FaceCoordinate(-d.y / m)};
}

}  // namespace

CubeFaceUv CubeFaceUvFromDirection(const Vector& d) {
  const Float ax = std::abs(d.x);
  const Float ay = std::abs(d.y);
  const Float az = std::abs(d.z);
  if (ax >= ay && ax >= az) return ax > 0.0 ? XFace(d) : CubeFaceUv();
  if (ay >= az) return YFace(d);
  return ZFace(d);
}

}  // namespace orvex
