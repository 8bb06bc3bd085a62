#include "description_symbols.h"

#include "c4d_description.h"
#include "runtime/console.h"
#include "runtime/description_record.h"
#include "runtime/plugin_registry.h"

#include <string>

namespace {

// The element named `symbol` in the node type's description; null with a console line saying why.
const DescriptionElement* FindElement(Int32 nodeType, std::string_view symbol, Description& description) {
  if (!description.LoadDescription(nodeType)) return nullptr;
  for (const DescriptionElement& element : description.GetRecord().elements)
    if (element.id != 0 && element.symbol == symbol) return &element;
  console::Print("[host] the description \"" + description.GetRecord().resourceName + "\" has no parameter " +
                 std::string(symbol));
  return nullptr;
}

}  // namespace

Int32 RegisteredNodeType(std::string_view resourceName) {
  for (const auto& entry : PluginRegistry::Instance().Entries())
    if ((entry->kind == PluginKind::Tag || entry->kind == PluginKind::VideoPost) &&
        entry->descriptionName == resourceName)
      return entry->id;
  return 0;
}

Int32 ParameterId(Int32 nodeType, std::string_view symbol) {
  Description description;
  const DescriptionElement* element = FindElement(nodeType, symbol, description);
  return element ? element->id : kUnknownSymbol;
}

Int32 CycleValue(Int32 nodeType, std::string_view symbol, std::string_view label) {
  Description description;
  const DescriptionElement* element = FindElement(nodeType, symbol, description);
  if (!element) return kUnknownSymbol;
  const BaseContainer cycle = element->properties.GetContainer(DESC_CYCLE);
  for (Int32 index = 0; index < cycle.GetCount(); ++index) {
    const Int32 value = cycle.GetIndexId(index);
    if (cycle.GetString(value).GetStdString() == label) return value;
  }
  console::Print("[host] the cycle " + element->symbol + " of \"" + description.GetRecord().resourceName +
                 "\" has no entry \"" + std::string(label) + "\"");
  return kUnknownSymbol;
}

Int32 NamedValues::Int32Of(std::string_view symbol, Int32 fallback) const {
  return data_.GetInt32(ParameterId(type_, symbol), fallback);
}

Bool NamedValues::BoolOf(std::string_view symbol, Bool fallback) const {
  return data_.GetBool(ParameterId(type_, symbol), fallback);
}

Float NamedValues::FloatOf(std::string_view symbol, Float fallback) const {
  return data_.GetFloat(ParameterId(type_, symbol), fallback);
}

Bool NamedValues::Is(std::string_view symbol, std::string_view label) const {
  const Int32 value = CycleValue(type_, symbol, label);
  return value != kUnknownSymbol && Int32Of(symbol) == value;
}
