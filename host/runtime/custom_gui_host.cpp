#include "custom_gui_host.h"

#include "attribute_manager.h"
#include "description_record.h"
#include "gui_records.h"
#include "plugin_registry.h"

namespace {
// The element's custom GUI plugin, or null.
CustomGuiData* FactoryFor(BaseList2D* node, Int32 id, std::string& error) {
  const attribute_manager::Panel panel = attribute_manager::BuildPanel(node);
  const DescriptionElement* element = panel.loaded ? panel.Record().Find(id) : nullptr;
  const Int32 guiId = element ? element->properties.GetInt32(DESC_CUSTOMGUI) : 0;
  const PluginEntry* entry = guiId ? PluginRegistry::Instance().Find(guiId) : nullptr;
  if (!entry || entry->kind != PluginKind::CustomGui || !entry->customGui) {
    error = "parameter " + std::to_string(id) + " has no custom GUI";
    return nullptr;
  }
  return entry->customGui;
}
}  // namespace

std::unique_ptr<HostedCustomGui> HostedCustomGui::Open(BaseList2D* node, Int32 id, std::string& error) {
  CustomGuiData* factory = node ? FactoryFor(node, id, error) : nullptr;
  if (!factory) return nullptr;
  std::unique_ptr<HostedCustomGui> hosted(new HostedCustomGui());
  hosted->factory_ = factory;
  hosted->gui_ = factory->Alloc(BaseContainer());
  if (!hosted->gui_ || !hosted->gui_->CreateLayout()) {
    error = "the custom GUI of parameter " + std::to_string(id) + " could not be made";
    return nullptr;
  }
  DialogRecord& dialog = hosted->gui_->GetRecord();
  dialog.gadgetId = id;  // the attribute manager places a parameter's GUI under the parameter's ID
  // The GUI's change notices become edits of the parameter, as a click in the panel would.
  dialog.parentMessage = [node, id](const BaseContainer& msg) {
    const GeData* value = msg.GetDataPointer(BFM_ACTION_VALUE);
    return value && attribute_manager::Edit(node, id, *value);
  };
  for (const auto& [gadget, area] : dialog.userAreas)
    if (area) hosted->area_ = area;
  if (hosted->area_) {
    hosted->area_->GetRecord().originX = kScreenOrigin.x;
    hosted->area_->GetRecord().originY = kScreenOrigin.y;
  }
  GeData value;
  if (!node->GetParameter(DescID(id), value, DESCFLAGS_GET_0)) value = GeData();
  hosted->gui_->SetData(TriState<GeData>{value, false});
  return hosted;
}

HostedCustomGui::~HostedCustomGui() {
  if (factory_ && gui_) factory_->Free(gui_, nullptr);
}

bool HostedCustomGui::Gesture(const std::vector<Point>& points, bool doubleClick, std::string& error) {
  if (points.empty()) {
    error = "a mouse gesture needs at least one point";
    return false;
  }
  if (!area_) {
    error = "the custom GUI has no area that takes input";
    return false;
  }
  UserAreaRecord& record = area_->GetRecord();
  record.mouse.clear();
  for (const Point& point : points)
    record.mouse.push_back({point.x + record.originX, point.y + record.originY, true});
  record.mouse.push_back({points.back().x + record.originX, points.back().y + record.originY, false});
  BaseContainer event(BFM_INPUT);
  event.SetInt32(BFM_INPUT_DEVICE, BFM_INPUT_MOUSE);
  event.SetInt32(BFM_INPUT_CHANNEL, BFM_INPUT_MOUSELEFT);
  event.SetBool(BFM_INPUT_DOUBLECLICK, doubleClick);
  area_->InputEvent(event);
  record.mouse.clear();  // whatever the area did not poll is over
  return true;
}

BitmapPtr HostedCustomGui::Snapshot() {
  if (!area_) return nullptr;
  area_->Redraw(true);
  const UserAreaRecord& record = area_->GetRecord();
  if (record.width == 0 || record.height == 0) return nullptr;
  BitmapPtr image(BaseBitmap::Alloc());
  if (!image || image->Init(record.width, record.height, 24) != IMAGERESULT_OK) return nullptr;
  for (Int32 y = 0; y < record.height; ++y)
    for (Int32 x = 0; x < record.width; ++x)
      image->SetPixelFloat(x, y, record.pixels[static_cast<size_t>(y) * record.width + x]);
  return image;
}

TriState<GeData> HostedCustomGui::Value() const { return gui_ ? gui_->GetData() : TriState<GeData>{}; }
