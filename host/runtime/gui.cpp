#include "c4d_gui.h"

#include "c4d_bitmap.h"
#include "canvas/line_walk.h"
#include "gui_records.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

GeDialog::GeDialog() : record_(new DialogRecord()) {}
GeDialog::~GeDialog() { delete record_; }
Bool GeDialog::CreateLayout() { return true; }
Bool GeDialog::InitValues() { return true; }
Bool GeDialog::Command(Int32, const BaseContainer&) { return true; }

Int32 GeDialog::Message(const BaseContainer& msg, BaseContainer& /*result*/) {
  if (msg.GetId() == BFM_ACTION) return Command(msg.GetInt32(BFM_ACTION_ID), msg);
  return 0;
}

Bool GeDialog::AddUserArea(Int32 id, Int32 /*flags*/, Int32 /*width*/, Int32 /*height*/) {
  record_->userAreas.emplace(id, nullptr);
  return true;
}

Bool GeDialog::AttachUserArea(GeUserArea& area, Int32 id, Int32 /*userAreaFlags*/) {
  const auto found = record_->userAreas.find(id);
  if (found == record_->userAreas.end()) return false;
  found->second = &area;
  area.GetRecord().dialog = this;
  return true;
}

Bool GeDialog::SendParentMessage(const BaseContainer& msg) {
  return record_->parentMessage ? record_->parentMessage(msg) : false;
}

iCustomGui::iCustomGui(const BaseContainer& /*settings*/, void* /*pluginRecord*/) {}
Int32 iCustomGui::GetWidth() { return 0; }
Int32 iCustomGui::GetHeight() { return 0; }
void iCustomGui::CustomGuiRedraw() {}
Bool iCustomGui::SetData(const TriState<GeData>&) { return true; }
TriState<GeData> iCustomGui::GetData() { return {}; }
Int32 iCustomGui::GetId() const { return GetRecord().gadgetId; }

GeUserArea::GeUserArea() : record_(new UserAreaRecord()) {}
GeUserArea::~GeUserArea() { delete record_; }
Bool GeUserArea::GetMinSize(Int32& w, Int32& h) {
  w = h = 0;
  return false;
}
void GeUserArea::DrawMsg(Int32, Int32, Int32, Int32, const BaseContainer&) {}
Bool GeUserArea::InputEvent(const BaseContainer&) { return false; }

// Redraws the whole area at the size it asks for.
void GeUserArea::Redraw(Bool /*synchronous*/) {
  Int32 w = 0;
  Int32 h = 0;
  GetMinSize(w, h);
  record_->Resize(w, h);
  if (record_->width == 0 || record_->height == 0) return;
  DrawMsg(0, 0, record_->width - 1, record_->height - 1, BaseContainer());
}

// The region of this redraw: drawing outside it leaves the surface as it was.
void GeUserArea::OffScreenOn(Int32 x, Int32 y, Int32 w, Int32 h) {
  UserAreaRecord& area = *record_;
  area.clipX1 = std::max(0, x);
  area.clipY1 = std::max(0, y);
  area.clipX2 = std::min(area.width - 1, x + w - 1);
  area.clipY2 = std::min(area.height - 1, y + h - 1);
}

void GeUserArea::DrawSetPen(Int32 interfaceColourId) { record_->pen = InterfaceColour(interfaceColourId); }
void GeUserArea::DrawSetPen(const Vector& colour) { record_->pen = colour; }

void GeUserArea::DrawRectangle(Int32 x1, Int32 y1, Int32 x2, Int32 y2) {
  UserAreaRecord& area = *record_;
  const Int32 left = std::max({std::min(x1, x2), area.clipX1});
  const Int32 right = std::min({std::max(x1, x2), area.clipX2});
  const Int32 top = std::max({std::min(y1, y2), area.clipY1});
  const Int32 bottom = std::min({std::max(y1, y2), area.clipY2});
  for (Int32 y = top; y <= bottom; ++y)
    for (Int32 x = left; x <= right; ++x) area.Plot(x, y, area.pen);
}

// Bresenham's line over whole pixels, both ends included, inside the redraw region.
void GeUserArea::DrawLine(Int32 x1, Int32 y1, Int32 x2, Int32 y2) {
  UserAreaRecord& area = *record_;
  const paint::PixelRect clip{area.clipX1, area.clipY1, area.clipX2, area.clipY2};
  paint::WalkLine(x1, y1, x2, y2, clip, [&area](Int32 x, Int32 y, Float32) { area.Plot(x, y, area.pen); });
}

// Draws the bitmap's source rectangle (x, y, w, h) scaled into the area's (wx, wy, ww, wh), nearest
// pixel; the mode flags choose nothing the headless host distinguishes.
void GeUserArea::DrawBitmap(const BaseBitmap* bitmap, Int32 wx, Int32 wy, Int32 ww, Int32 wh, Int32 x,
                            Int32 y, Int32 w, Int32 h, Int32 /*mode*/) {
  if (!bitmap || bitmap->IsEmpty() || ww <= 0 || wh <= 0 || w <= 0 || h <= 0) return;
  for (Int32 row = 0; row < wh; ++row)
    for (Int32 column = 0; column < ww; ++column) {
      const Int32 sx = std::clamp(x + static_cast<Int32>(Int64(column) * w / ww), 0, bitmap->GetBw() - 1);
      const Int32 sy = std::clamp(y + static_cast<Int32>(Int64(row) * h / wh), 0, bitmap->GetBh() - 1);
      record_->Plot(wx + column, wy + row, bitmap->GetPixelFloat(sx, sy));
    }
}

// Answers polls from the scripted gesture, one state per poll; no state once the script is used up.
Bool GeUserArea::GetInputState(Int32 device, Int32 channel, BaseContainer& result) {
  if (device != BFM_INPUT_MOUSE || channel != BFM_INPUT_MOUSELEFT || record_->mouse.empty()) return false;
  const MouseState state = record_->mouse.front();
  record_->mouse.pop_front();
  result.SetInt32(BFM_INPUT_DEVICE, device);
  result.SetInt32(BFM_INPUT_CHANNEL, channel);
  result.SetInt32(BFM_INPUT_VALUE, state.pressed ? 1 : 0);
  result.SetInt32(BFM_INPUT_X, state.x);
  result.SetInt32(BFM_INPUT_Y, state.y);
  return true;
}

void GeUserArea::Global2Local(Int32* x, Int32* y) const {
  *x -= record_->originX;
  *y -= record_->originY;
}

GeDialog* GeUserArea::GetDialog() const { return record_->dialog; }

void UserAreaRecord::Resize(Int32 w, Int32 h) {
  width = std::clamp(w, 0, 4096);
  height = std::clamp(h, 0, 4096);
  pixels.assign(static_cast<size_t>(width) * height, Vector());
  clipX1 = clipY1 = 0;
  clipX2 = width - 1;
  clipY2 = height - 1;
}

void UserAreaRecord::Plot(Int32 x, Int32 y, const Vector& colour) {
  if (x < 0 || y < 0 || x >= width || y >= height || !InClip(x, y)) return;
  pixels[static_cast<size_t>(y) * width + x] = colour;
}

// A dark interface: panel background, text, and the highlight that markers and selections use.
Vector InterfaceColour(Int32 colourId) {
  switch (colourId) {
    case 1000:  // background of edit areas
      return Vector(0.16, 0.16, 0.17);
    case 1004:  // highlight
      return Vector(1.0, 0.55, 0.05);
    default:  // text and everything else
      return Vector(0.85, 0.85, 0.85);
  }
}
