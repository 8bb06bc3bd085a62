#include "xypad/xypad.h"

#include <new>

namespace {
CustomGuiLib g_library;
BaseBitmap* g_domeMap = nullptr;
BaseBitmap* g_panoramaMap = nullptr;
Int32 g_dataTypes[] = {DA_VECTOR};

BaseBitmap* LoadMap(const char* fileName) {
  const AutoBitmap loaded(fileName);
  return loaded.Get() ? loaded.Get()->GetClone() : nullptr;
}
}  // namespace

Int32 XYPadData::GetId() { return ID_XYPAD; }

iCustomGui* XYPadData::Alloc(const BaseContainer& settings) {
  return Guarded({kLogName, "Alloc"}, static_cast<iCustomGui*>(nullptr), [&] {
    return static_cast<iCustomGui*>(new (std::nothrow) GuardedGui<XYPadGui>(settings, nullptr));
  });
}

void XYPadData::Free(iCustomGui* dialog, void* /*userData*/) { delete dialog; }
const char* XYPadData::GetResourceSym() { return "XYPAD"; }

Int32 XYPadData::GetResourceDataType(Int32*& table) {
  table = g_dataTypes;
  return 1;
}

BaseBitmap* XYPadDomeMap() { return g_domeMap; }
BaseBitmap* XYPadPanoramaMap() { return g_panoramaMap; }

Bool RegisterXYPad() {
  g_library = CustomGuiLib();
  FillBaseCustomGui(g_library);
  if (!InstallLibrary(ID_XYPAD, &g_library, 1000, sizeof(g_library))) return false;
  FreeXYPadMaps();
  g_domeMap = LoadMap("map_dome.png");
  g_panoramaMap = LoadMap("map_pano.png");
  return RegisterCustomGuiPlugin("XY Pad", 2, new (std::nothrow) XYPadData());
}

void FreeXYPadMaps() {
  BaseBitmap::Free(g_domeMap);
  BaseBitmap::Free(g_panoramaMap);
}
