#pragma once

#include "c4d.h"
#include "canvas/surface.h"

#include <string>
#include <vector>

namespace paint {
class Raster3D;
}

// What a view draws into and how: the image a render or a draw pass lends it, and the drawing state
// its calls set.
struct ViewCanvas {
  paint::Surface target;                    // empty: nothing to draw into
  bool painted = false;                     // whether a call painted into `target` since it was lent
  paint::Raster3D* raster = nullptr;        // a draw pass's 3D rasterizer over `target`; null in a render
  std::vector<std::string>* log = nullptr;  // every drawing call, in order, when someone listens
  bool screenSpace = false;
  bool depthTest = true;
  Int32 lineZOffset = 0;
  Int32 transparency = 0;
  Vector pen{1.0, 1.0, 1.0};  // clamped to 0..1 (display-encoded, as an artist picks it)
  Float pointSize = 1.0;      // pixels
  Matrix matrix;              // object to world for the 3D calls
};

// Appends one line to the canvas's draw log, when it keeps one.
void LogDrawCall(ViewCanvas& canvas, const std::string& line);
