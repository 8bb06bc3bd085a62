#pragma once

#include "c4d_math.h"
#include "geometry/render_area.h"

namespace orvex {

// One sub-view of the output: an eye or a cube face, where it lands and how it is turned.
struct SubView {
  Matrix matrix;  // camera placement of an eye view
  Float offsetX = 0.0;
  Float offsetY = 0.0;
  RenderArea area;
  Int32 index = -1;    // face 0..5 or eye 0..1; -1 for none
  Int32 rotation = 0;  // degrees: 0, 90, 180 or 270
  Bool flipU = false;
  Bool flipV = false;

  // Back to an empty, unturned view; the placement (matrix, offsets) stays.
  void Reset();
};

// The view's flips, then its rotation, applied to texture coordinates.
inline void ApplyViewTransform(const SubView& view, Float& u, Float& v) {
  if (view.flipU) u = 1.0 - u;
  if (view.flipV) v = 1.0 - v;
  const Float inU = u;
  const Float inV = v;
  switch (view.rotation) {
    case 90:
      u = inV;
      v = 1.0 - inU;
      break;
    case 180:
      u = 1.0 - inU;
      v = 1.0 - inV;
      break;
    case 270:
      u = 1.0 - inV;
      v = inU;
      break;
    default:
      break;
  }
}

}  // namespace orvex
