#pragma once

#include "c4d.h"

#include <deque>
#include <functional>
#include <map>
#include <vector>

// The stand-in host's records behind dialogs and user areas.
//
// A user area paints into its own surface: RGB floats 0..1 encoded as bitmaps hold them (the
// values an 8-bit image file stores), one per pixel, (0, 0) top left,
// integer coordinates naming whole pixels. Rectangles and lines include both end points; everything
// is clipped to the surface and to the region the area set up for its current redraw.

struct DialogRecord {
  std::map<Int32, GeUserArea*> userAreas;
  std::function<Bool(const BaseContainer&)> parentMessage;
  Int32 gadgetId = 0;
};

// One polled state of the mouse during a scripted gesture, in screen coordinates.
struct MouseState {
  Int32 x = 0;
  Int32 y = 0;
  bool pressed = false;
};

struct UserAreaRecord {
  GeDialog* dialog = nullptr;
  Int32 originX = 0;  // where the area's top left pixel sits on the screen
  Int32 originY = 0;

  Int32 width = 0;
  Int32 height = 0;
  std::vector<Vector> pixels;
  Vector pen;
  Int32 clipX1 = 0, clipY1 = 0, clipX2 = -1, clipY2 = -1;  // inclusive; empty until a redraw

  std::deque<MouseState> mouse;  // the states the next polls answer, oldest first

  void Resize(Int32 w, Int32 h);
  void Plot(Int32 x, Int32 y, const Vector& colour);
  bool InClip(Int32 x, Int32 y) const { return x >= clipX1 && x <= clipX2 && y >= clipY1 && y <= clipY2; }
};

// The host interface's colour table: what a pen of an interface colour ID paints.
Vector InterfaceColour(Int32 colourId);
