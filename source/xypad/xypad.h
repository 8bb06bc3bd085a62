#pragma once

#include "c4d.h"

constexpr Int32 ID_XYPAD = 1036905;

// Factory of the XY pad control for Vector parameters.
class XYPadData : public CustomGuiData {
 public:
  Int32 GetId() override;
  iCustomGui* Alloc(const BaseContainer& settings) override;
  void Free(iCustomGui* dialog, void* userData) override;
  const char* GetResourceSym() override;
  Int32 GetResourceDataType(Int32*& table) override;
};

// The pad control shown in the attribute manager.
class XYPadGui : public iCustomGui {
 public:
  XYPadGui(const BaseContainer& settings, void* pluginRecord) : iCustomGui(settings, pluginRecord) {}
};

// The background maps shared by every pad; null when their file did not load.
BaseBitmap* XYPadDomeMap();
BaseBitmap* XYPadPanoramaMap();

Bool RegisterXYPad();
void FreeXYPadMaps();
