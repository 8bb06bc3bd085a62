#pragma once

#include "c4d.h"
#include "canvas/surface.h"

// Lends a view an image for the scope (a camera image while its effects' camera end runs), with the
// drawing state reset; the view draws into nothing again afterwards.
class ScopedViewTarget {
 public:
  ScopedViewTarget(BaseDraw* view, const paint::Surface& target);
  ~ScopedViewTarget();
  // Whether the view painted into the lent image so far.
  bool Painted() const;
  ScopedViewTarget(const ScopedViewTarget&) = delete;
  ScopedViewTarget& operator=(const ScopedViewTarget&) = delete;

 private:
  BaseDraw* view_;
};
