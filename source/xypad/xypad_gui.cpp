#include "xypad/xypad.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr Int32 kAreaGadget = 1000;
constexpr Int32 kAreaColour = 1000;
constexpr Int32 kMarkerColour = 1004;
constexpr Int32 kMarkerArm = 4;
constexpr Int32 kScaledBitmap = 256;

// One pixel-to-value mapping for input and drawing, so a click lands where the marker is drawn:
// pixel 0 is 0.0 and the last pixel 1.0.
Float32 ValueOfPixel(Int32 pixel, Int32 size) {
  return std::clamp(static_cast<Float32>(pixel) / static_cast<Float32>(size - 1), 0.0f, 1.0f);
}
Int32 PixelOfValue(Float value, Int32 size) {
  const Float pixel = std::round((size - 1) * value);
  return std::isfinite(pixel) ? static_cast<Int32>(std::clamp(pixel, -1e6, 1e6)) : -kMarkerArm - 1;
}
}  // namespace

// ---- XYPadUserArea

Bool XYPadUserArea::GetMinSize(Int32& w, Int32& h) {
  w = Width();
  h = Height();
  return true;
}

// Background and marker are drawn together whatever the update region, so a partial redraw never
// moves the marker; the marker of (-1, -1) falls outside and is clipped.
void XYPadUserArea::DrawMsg(Int32 x1, Int32 y1, Int32 x2, Int32 y2, const BaseContainer&) {
  OffScreenOn(x1, y1, x2 - x1 + 1, y2 - y1 + 1);
  DrawSetPen(kAreaColour);
  DrawRectangle(x1, y1, x2, y2);
  if (const BaseBitmap* map = IsDome() ? XYPadDomeMap() : XYPadPanoramaMap())
    DrawBitmap(map, 0, 0, Width(), Height(), 0, 0, map->GetBw(), map->GetBh(), kScaledBitmap);
  const Int32 px = PixelOfValue(value.x, Width());
  const Int32 py = PixelOfValue(value.y, Height());
  DrawSetPen(kMarkerColour);
  DrawLine(px, py - kMarkerArm, px, py + kMarkerArm);
  DrawLine(px - kMarkerArm, py, px + kMarkerArm, py);
}

Bool XYPadUserArea::InputEvent(const BaseContainer& msg) {
  if (msg.GetInt32(BFM_INPUT_DEVICE) != BFM_INPUT_MOUSE) return false;
  if (msg.GetInt32(BFM_INPUT_CHANNEL) != BFM_INPUT_MOUSELEFT) return false;
  // A double click resets at once, even when the button is up before the first poll.
  if (msg.GetBool(BFM_INPUT_DOUBLECLICK)) {
    value.x = value.y = -1.0;
    Notify();
    return true;
  }
  BaseContainer state;
  for (Bool first = true;; first = false) {
    if (!GetInputState(BFM_INPUT_MOUSE, BFM_INPUT_MOUSELEFT, state)) break;
    if (state.GetInt32(BFM_INPUT_VALUE) == 0) break;
    if (!FollowPointer(state, first)) break;
    Redraw(true);
    Notify();
  }
  Notify();
  return true;
}

Bool XYPadUserArea::FollowPointer(const BaseContainer& state, Bool first) {
  Int32 mx = state.GetInt32(BFM_INPUT_X);
  Int32 my = state.GetInt32(BFM_INPUT_Y);
  Global2Local(&mx, &my);
  Float fx = ValueOfPixel(mx, Width());
  Float fy = ValueOfPixel(my, Height());
  if (IsDome()) {
    const Float dx = 2.0 * fx - 1.0;
    const Float dy = 2.0 * fy - 1.0;
    const Float r = std::sqrt(dx * dx + dy * dy);
    if (r > 1.0) {
      if (first) return false;
      fx = (dx / r + 1.0) / 2.0;
      fy = (dy / r + 1.0) / 2.0;
    }
  }
  value.x = fx;
  value.y = fy;
  return true;
}

void XYPadUserArea::Notify() {
  GeDialog* dialog = GetDialog();
  if (!dialog) return;
  BaseContainer action(BFM_ACTION);
  action.SetInt32(BFM_ACTION_ID, kAreaGadget);
  BaseContainer result;
  dialog->Message(action, result);
}

// ---- XYPadGui

Bool XYPadGui::CreateLayout() {
  return AddUserArea(kAreaGadget, BFH_SCALEFIT | BFV_SCALEFIT, 100, 100) &&
         AttachUserArea(area_, kAreaGadget, 4);
}

Bool XYPadGui::Command(Int32 id, const BaseContainer& msg) {
  if (id != kAreaGadget) return true;
  BaseContainer forward = msg;
  forward.SetInt32(BFM_ACTION_ID, GetId());
  forward.RemoveData(BFM_ACTION_VALUE);
  forward.SetData(BFM_ACTION_VALUE, GetData().GetValue());
  SendParentMessage(forward);
  return true;
}

Int32 XYPadGui::GetWidth() {
  Int32 w = 0;
  Int32 h = 0;
  area_.GetMinSize(w, h);
  return w;
}

Int32 XYPadGui::GetHeight() {
  Int32 w = 0;
  Int32 h = 0;
  area_.GetMinSize(w, h);
  return h;
}

void XYPadGui::CustomGuiRedraw() { area_.Redraw(true); }

Bool XYPadGui::SetData(const TriState<GeData>& data) {
  area_.value = data.GetValue().GetVector();
  area_.Redraw(true);
  return true;
}

TriState<GeData> XYPadGui::GetData() { return {GeData(area_.value), false}; }
