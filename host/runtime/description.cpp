#include "c4d_description.h"

#include "plugin_registry.h"

#include <map>

// Parsed description: element containers by parameter ID.
struct DescriptionRecord {
  std::string resourceName;
  std::map<Int32, BaseContainer> elements;
};

Description::Description() : record_(new DescriptionRecord()) {}
Description::~Description() { delete record_; }

Bool Description::LoadDescription(Int32 nodeType) {
  const PluginEntry* entry = PluginRegistry::Instance().Find(nodeType);
  return entry && LoadDescription(String(entry->descriptionName));
}

// Description files arrive with the attribute manager; until then no description loads.
Bool Description::LoadDescription(const String& resourceName) {
  record_->resourceName = resourceName.GetStdString();
  record_->elements.clear();
  return false;
}

BaseContainer* Description::GetParameterI(const DescID& id, void* /*arrayOut*/) {
  const auto found = record_->elements.find(id[0]);
  return found == record_->elements.end() ? nullptr : &found->second;
}
