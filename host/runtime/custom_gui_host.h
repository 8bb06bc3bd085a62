#pragma once

#include "bitmap_io.h"
#include "c4d.h"

#include <memory>
#include <string>
#include <vector>

// A custom GUI as the attribute manager shows it for one parameter of a node: made by the GUI's
// plugin, filled with the parameter's value, and writing the user's changes back through the same
// path as a click. Freed through the plugin that made it.
class HostedCustomGui {
 public:
  struct Point {
    Int32 x = 0;
    Int32 y = 0;
  };

  // Null with `error` when the parameter has no custom GUI or the GUI cannot be made.
  static std::unique_ptr<HostedCustomGui> Open(BaseList2D* node, Int32 id, std::string& error);
  ~HostedCustomGui();
  HostedCustomGui(const HostedCustomGui&) = delete;
  HostedCustomGui& operator=(const HostedCustomGui&) = delete;

  // A left-button gesture in the area's pixels: pressed at the first point, dragged through the
  // others, released at the last. False with `error` for an empty gesture.
  bool Gesture(const std::vector<Point>& points, bool doubleClick, std::string& error);

  // Redraws the area and returns what it shows; null when it has no size.
  BitmapPtr Snapshot();
  TriState<GeData> Value() const;
  // Where the area sits on the screen; input arrives in screen coordinates.
  static constexpr Point kScreenOrigin{120, 340};

 private:
  HostedCustomGui() = default;
  CustomGuiData* factory_ = nullptr;
  iCustomGui* gui_ = nullptr;
  GeUserArea* area_ = nullptr;
};
