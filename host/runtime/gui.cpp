#include "c4d_gui.h"

#include <functional>
#include <map>

// Dialog and user-area records. The attribute manager and the paint code fill in the parent link,
// input states and the drawing surface.
struct DialogRecord {
  std::map<Int32, GeUserArea*> userAreas;
  std::function<Bool(const BaseContainer&)> parentMessage;
  Int32 gadgetId = 0;
};

struct UserAreaRecord {
  GeDialog* dialog = nullptr;
  Int32 width = 0;
  Int32 height = 0;
  Int32 originX = 0;
  Int32 originY = 0;
  std::function<Bool(Int32, Int32, BaseContainer&)> inputState;
};

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

void GeUserArea::Redraw(Bool /*synchronous*/) {
  Int32 w = 0;
  Int32 h = 0;
  GetMinSize(w, h);
  DrawMsg(0, 0, w - 1, h - 1, BaseContainer());
}

void GeUserArea::OffScreenOn(Int32, Int32, Int32, Int32) {}
void GeUserArea::DrawSetPen(Int32) {}
void GeUserArea::DrawSetPen(const Vector&) {}
void GeUserArea::DrawRectangle(Int32, Int32, Int32, Int32) {}
void GeUserArea::DrawLine(Int32, Int32, Int32, Int32) {}
void GeUserArea::DrawBitmap(const BaseBitmap*, Int32, Int32, Int32, Int32, Int32, Int32, Int32, Int32,
                            Int32) {}

Bool GeUserArea::GetInputState(Int32 device, Int32 channel, BaseContainer& result) {
  return record_->inputState ? record_->inputState(device, channel, result) : false;
}

void GeUserArea::Global2Local(Int32* x, Int32* y) const {
  *x -= record_->originX;
  *y -= record_->originY;
}

GeDialog* GeUserArea::GetDialog() const { return record_->dialog; }
