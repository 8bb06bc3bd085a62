#include "attribute_manager.h"

#include "description_values.h"

namespace attribute_manager {
namespace {

// The node's description as the node wants it shown; false when there is none.
bool LoadNodeDescription(BaseList2D* node, Description& description) {
  NodeData* data = node->GetNodeData();
  DESCFLAGS_DESC flags = DESCFLAGS_DESC_0;
  if (data && !data->GetDDescription(node, &description, flags)) return false;
  if (!(flags & DESCFLAGS_DESC_LOADED) && !description.LoadDescription(node->GetType())) return false;
  return !description.GetRecord().elements.empty();
}

Int32 DepthOf(const DescriptionRecord& record, const DescriptionElement& element) {
  Int32 depth = 0;
  for (Int32 parent = element.parent; parent >= 0; parent = record.elements[parent].parent) ++depth;
  return depth;
}

Bool ShowsValue(ElementKind kind) {
  return HoldsEditableValue(kind) || kind == ElementKind::ShaderLink || kind == ElementKind::BitmapButton;
}

PanelItem MakeItem(BaseList2D* node, const DescriptionRecord& record, const DescriptionElement& element) {
  PanelItem item;
  item.element = &element;
  item.depth = DepthOf(record, element);
  if (element.id == 0) return item;  // a layout-only group: nothing to ask the node about
  // A value the node does not give stays empty.
  if (ShowsValue(element.kind) && !node->GetParameter(DescID(element.id), item.value, DESCFLAGS_GET_0))
    item.value = GeData();
  if (NodeData* data = node->GetNodeData())
    item.enabled =
        data->GetDEnabling(node, DescID(element.id), item.value, DESCFLAGS_ENABLE_0, &element.properties);
  return item;
}

std::string NodeName(const BaseList2D* node) { return "\"" + node->GetName().GetStdString() + "\""; }

std::string NearestText(const DescriptionRecord& record, const std::string& name) {
  std::string list;
  for (const std::string& symbol : record.NearestSymbols(name, 5))
    list += (list.empty() ? "" : ", ") + symbol;
  return list;
}

// The element `name` names in the node's description, or null with `error` saying why.
const DescriptionElement* FindNamed(BaseList2D* node, const Description& description, bool loaded,
                                    const std::string& name, std::string& error) {
  if (!loaded) {
    error = NodeName(node) + " has no panel: its description did not load (see the console)";
    return nullptr;
  }
  const DescriptionElement* element = description.GetRecord().FindSymbol(name);
  if (!element || element->id == 0)
    error = "unknown parameter \"" + name + "\" on " + NodeName(node) +
            "; nearest names: " + NearestText(description.GetRecord(), name);
  return element && element->id != 0 ? element : nullptr;
}

}  // namespace

Panel BuildPanel(BaseList2D* node) {
  Panel panel;
  panel.description = std::make_unique<Description>();
  if (!node || !LoadNodeDescription(node, *panel.description)) return panel;
  panel.loaded = true;
  const DescriptionRecord& record = panel.Record();
  for (const DescriptionElement& element : record.elements)
    if (record.IsShown(element)) panel.items.push_back(MakeItem(node, record, element));
  return panel;
}

bool Edit(BaseList2D* node, Int32 id, const GeData& value) {
  if (!node) return false;
  BaseDocument* doc = node->GetDocument();
  if (doc) {
    doc->StartUndo();
    doc->AddUndo(UNDOTYPE_CHANGE, node);
  }
  const bool set = node->SetParameter(DescID(id), value, DESCFLAGS_SET_USERINTERACTION);
  if (doc) doc->EndUndo();
  EventAdd();
  return set;
}

bool Press(BaseList2D* node, Int32 id) {
  Description description;
  if (!node || !LoadNodeDescription(node, description)) return false;
  const DescriptionElement* element = description.GetRecord().Find(id);
  if (!element) return false;
  if (element->kind == ElementKind::Button) {
    DescriptionCommand command{DescID(id)};
    return node->Message(MSG_DESCRIPTION_COMMAND, &command);
  }
  if (element->kind != ElementKind::BitmapButton) return false;
  GeData value;
  if (!node->GetParameter(DescID(id), value, DESCFLAGS_GET_0)) value = GeData();
  return Edit(node, id, value);
}

BitmapPtr RequestBitmap(BaseList2D* node, Int32 id) {
  if (!node) return nullptr;
  DescriptionGetBitmap request{DescID(id), nullptr};
  node->Message(MSG_DESCRIPTION_GETBITMAP, &request);
  return BitmapPtr(request.bmp);
}

const BaseBitmap* RequestCustomIcon(BaseList2D* node) {
  if (!node) return nullptr;
  IconData icon;
  GetCustomIconData request{&icon, false};
  node->Message(MSG_GETCUSTOMICON, &request);
  return request.filled ? icon.bmp : nullptr;
}

bool HasParameter(BaseList2D* node, const std::string& name) {
  Description description;
  if (!node || !LoadNodeDescription(node, description)) return false;
  const DescriptionElement* element = description.GetRecord().FindSymbol(name);
  return element && element->id != 0;
}

bool SetByName(BaseList2D* node, const std::string& assignment, std::string& error) {
  const size_t equals = assignment.find('=');
  if (equals == std::string::npos || equals == 0) {
    error = "\"" + assignment + "\" is not of the form NAME=VALUE";
    return false;
  }
  if (!node) {
    error = "there is no node to set \"" + assignment + "\" on";
    return false;
  }
  Description description;
  const bool loaded = LoadNodeDescription(node, description);
  const DescriptionElement* element =
      FindNamed(node, description, loaded, assignment.substr(0, equals), error);
  if (!element) return false;
  GeData value;
  if (!ParseValue(*element, assignment.substr(equals + 1), value, error)) return false;
  if (Edit(node, element->id, value)) return true;
  error = NodeName(node) + " refused the value of " + element->symbol;
  return false;
}

bool PressByName(BaseList2D* node, const std::string& name, std::string& error) {
  if (!node) {
    error = "there is no node to press \"" + name + "\" on";
    return false;
  }
  Description description;
  const bool loaded = LoadNodeDescription(node, description);
  const DescriptionElement* element = FindNamed(node, description, loaded, name, error);
  if (!element) return false;
  if (element->kind != ElementKind::Button && element->kind != ElementKind::BitmapButton) {
    error = element->symbol + " is a " + ElementKindName(element->kind) + ", not a button";
    return false;
  }
  if (Press(node, element->id)) return true;
  error = NodeName(node) + " did not take the press of " + element->symbol;
  return false;
}

bool IsClickable(BaseList2D* node, const std::string& name, std::string& error) {
  Description description;
  if (!node || !LoadNodeDescription(node, description)) return true;
  const DescriptionElement* element = description.GetRecord().FindSymbol(name);
  if (!element || element->id == 0) return true;
  if (MakeItem(node, description.GetRecord(), *element).enabled) return true;
  error = element->symbol + " is disabled on " + NodeName(node) + " now, so the panel takes no click on it";
  return false;
}

}  // namespace attribute_manager
