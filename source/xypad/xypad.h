#pragma once

#include "c4d.h"
#include "guarded_entries.h"

constexpr Int32 ID_XYPAD = 1036905;

// Factory of the XY pad control for Vector parameters.
class XYPadData : public CustomGuiData {
 public:
  static constexpr const char* kLogName = "XYPadData";
  // A guarded pad control (guarded_entries.h); null when it cannot be made.
  Int32 GetId() override;
  iCustomGui* Alloc(const BaseContainer& settings) override;
  void Free(iCustomGui* dialog, void* userData) override;
  const char* GetResourceSym() override;
  Int32 GetResourceDataType(Int32*& table) override;
};

// The clickable map of the pad: x and y of its value are the picked point in 0..1 across and down;
// z above 0 shows the square dome map with the point kept inside its circle, else the 2:1 panorama.
class XYPadUserArea : public GeUserArea {
 public:
  static constexpr const char* kLogName = "XYPadUserArea";
  Bool GetMinSize(Int32& w, Int32& h) override;
  void DrawMsg(Int32 x1, Int32 y1, Int32 x2, Int32 y2, const BaseContainer& msg) override;
  Bool InputEvent(const BaseContainer& msg) override;

  Vector value;

 private:
  Bool IsDome() const { return value.z > 0.0; }
  Int32 Width() const { return IsDome() ? 100 : 200; }
  Int32 Height() const { return 100; }
  // Tells the owning dialog that the value changed.
  void Notify();
  // Moves the point to the pointer of one polled state; false when a first press lands outside
  // the dome circle and leaves the point where it was.
  [[nodiscard]] Bool FollowPointer(const BaseContainer& state, Bool first);
};

// The pad control shown in the attribute manager.
class XYPadGui : public iCustomGui {
 public:
  static constexpr const char* kLogName = "XYPadGui";
  XYPadGui(const BaseContainer& settings, void* pluginRecord) : iCustomGui(settings, pluginRecord) {}

  Bool CreateLayout() override;
  Bool InitValues() override { return true; }
  Bool Command(Int32 id, const BaseContainer& msg) override;
  Int32 GetWidth() override;
  Int32 GetHeight() override;
  void CustomGuiRedraw() override;
  Bool SetData(const TriState<GeData>& data) override;
  TriState<GeData> GetData() override;

 private:
  GuardedUserArea<XYPadUserArea> area_;
};

// The background maps shared by every pad; null when their file did not load.
BaseBitmap* XYPadDomeMap();
BaseBitmap* XYPadPanoramaMap();

[[nodiscard]] Bool RegisterXYPad();
void FreeXYPadMaps();
