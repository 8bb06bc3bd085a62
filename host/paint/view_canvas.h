#pragma once

#include "c4d.h"
#include "paint/surface.h"

// What a view draws into and how: the image a render lends it, and the drawing state its calls set.
struct ViewCanvas {
  paint::Surface target;  // empty: nothing to draw into
  bool screenSpace = false;
  bool depthTest = true;
  Int32 lineZOffset = 0;
  Int32 transparency = 0;
  Vector pen{1.0, 1.0, 1.0};
};

// Lends a view an image for the scope (a camera image while its effects' camera end runs), with the
// drawing state reset; the view draws into nothing again afterwards.
class ScopedViewTarget {
 public:
  ScopedViewTarget(BaseDraw* view, const paint::Surface& target);
  ~ScopedViewTarget();
  ScopedViewTarget(const ScopedViewTarget&) = delete;
  ScopedViewTarget& operator=(const ScopedViewTarget&) = delete;

 private:
  BaseDraw* view_;
};
