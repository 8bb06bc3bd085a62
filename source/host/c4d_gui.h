#pragma once

#include "c4d_gedata.h"

class BaseBitmap;
struct DialogRecord;
struct UserAreaRecord;

// Four-character IDs of the GUI message containers.
constexpr Int32 FourCC(const char (&code)[5]) {
  return (Int32(code[0]) << 24) | (Int32(code[1]) << 16) | (Int32(code[2]) << 8) | Int32(code[3]);
}
enum : Int32 {
  BFM_ACTION = FourCC("bACT"),
  BFM_ACTION_ID = FourCC("meid"),
  BFM_ACTION_VALUE = FourCC("meva"),
  BFM_INPUT = FourCC("inpt"),
  BFM_INPUT_DEVICE = FourCC("ipdv"),
  BFM_INPUT_MOUSE = FourCC("mous"),
  BFM_INPUT_CHANNEL = FourCC("ipca"),
  BFM_INPUT_MOUSELEFT = 1,
  BFM_INPUT_VALUE = FourCC("ipva"),
  BFM_INPUT_DOUBLECLICK = FourCC("ipdb"),
  BFM_INPUT_X = FourCC("ipvx"),
  BFM_INPUT_Y = FourCC("ipvy"),
};
enum : Int32 { BFH_SCALEFIT = 48, BFV_SCALEFIT = 15 };

// A value of a control that may stand for several differing values.
template <typename T>
struct TriState {
  T value;
  Bool tri = false;
  const T& GetValue() const { return value; }
  Bool GetTri() const { return tri; }
};

class GeUserArea;

// A dialog with gadgets; custom GUIs are sub-dialogs of the attribute manager.
class GeDialog {
 public:
  GeDialog();
  virtual ~GeDialog();
  GeDialog(const GeDialog&) = delete;
  GeDialog& operator=(const GeDialog&) = delete;

  virtual Bool CreateLayout();
  virtual Bool InitValues();
  virtual Bool Command(Int32 id, const BaseContainer& msg);
  virtual Int32 Message(const BaseContainer& msg, BaseContainer& result);

  Bool AddUserArea(Int32 id, Int32 flags, Int32 width, Int32 height);
  [[nodiscard]] Bool AttachUserArea(GeUserArea& area, Int32 id, Int32 userAreaFlags);
  Bool SendParentMessage(const BaseContainer& msg);

  DialogRecord& GetRecord() const { return *record_; }

 private:
  DialogRecord* record_;
};

// A custom parameter control shown by the attribute manager.
class iCustomGui : public GeDialog {
 public:
  iCustomGui(const BaseContainer& settings, void* pluginRecord);

  virtual Int32 GetWidth();
  virtual Int32 GetHeight();
  virtual void CustomGuiRedraw();
  virtual Bool SetData(const TriState<GeData>& data);
  virtual TriState<GeData> GetData();

  // The gadget ID under which the attribute manager placed this control.
  Int32 GetId() const;
};

// A drawable, clickable area inside a dialog.
class GeUserArea {
 public:
  GeUserArea();
  virtual ~GeUserArea();
  GeUserArea(const GeUserArea&) = delete;
  GeUserArea& operator=(const GeUserArea&) = delete;

  virtual Bool GetMinSize(Int32& w, Int32& h);
  virtual void DrawMsg(Int32 x1, Int32 y1, Int32 x2, Int32 y2, const BaseContainer& msg);
  virtual Bool InputEvent(const BaseContainer& msg);

  void Redraw(Bool synchronous = false);
  void OffScreenOn(Int32 x, Int32 y, Int32 w, Int32 h);
  void DrawSetPen(Int32 interfaceColourId);
  void DrawSetPen(const Vector& colour);
  void DrawRectangle(Int32 x1, Int32 y1, Int32 x2, Int32 y2);
  void DrawLine(Int32 x1, Int32 y1, Int32 x2, Int32 y2);
  void DrawBitmap(const BaseBitmap* bitmap, Int32 wx, Int32 wy, Int32 ww, Int32 wh, Int32 x, Int32 y, Int32 w,
                  Int32 h, Int32 mode);
  [[nodiscard]] Bool GetInputState(Int32 device, Int32 channel, BaseContainer& result);
  void Global2Local(Int32* x, Int32* y) const;
  GeDialog* GetDialog() const;

  UserAreaRecord& GetRecord() const { return *record_; }

 private:
  UserAreaRecord* record_;
};

// Factory of a custom GUI: the host asks it for controls of its data types.
class CustomGuiData {
 public:
  CustomGuiData() = default;
  virtual ~CustomGuiData();
  CustomGuiData(const CustomGuiData&) = delete;
  CustomGuiData& operator=(const CustomGuiData&) = delete;

  virtual Int32 GetId() = 0;
  virtual iCustomGui* Alloc(const BaseContainer& settings) = 0;
  virtual void Free(iCustomGui* dialog, void* userData) = 0;
  virtual const char* GetResourceSym() = 0;
  virtual Int32 GetResourceDataType(Int32*& table) = 0;
};

// The library record a custom GUI installs, through which other code reaches its controls: the
// host's standard operations on any custom GUI, filled in by FillBaseCustomGui.
struct CustomGuiLib {
  Int32 size = 0;
  Bool (*SetData)(iCustomGui* gui, const TriState<GeData>& value) = nullptr;
  TriState<GeData> (*GetData)(iCustomGui* gui) = nullptr;
  void (*Redraw)(iCustomGui* gui) = nullptr;
};
void FillBaseCustomGui(CustomGuiLib& library);
// False (with a console line) when the ID is taken, the size or version is not sensible, or the
// record's standard operations are missing; the record must outlive the installation.
[[nodiscard]] Bool InstallLibrary(Int32 id, CustomGuiLib* library, Int32 version, Int32 size);
