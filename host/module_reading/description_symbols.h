#pragma once

#include "c4d.h"

#include <string_view>

// What a host learns of a plugin's nodes from their registrations and descriptions, by name, as the
// real host does: a node type from the description resource it was registered with, a parameter ID
// from its symbol in that description, a cycle's value from its label.

// Answered for a name the loaded modules do not know: no node type or parameter has this number.
inline constexpr Int32 kUnknownSymbol = -1;

// The node type registered with the description resource `resourceName` ("OrvexTag"); 0 when no
// loaded module registered one.
Int32 RegisteredNodeType(std::string_view resourceName);

// The ID of the parameter `symbol` ("ORVEXTAG_PROJECTION", exactly as the description names it) of
// the node type; kUnknownSymbol with a console line naming both when the description lacks it.
Int32 ParameterId(Int32 nodeType, std::string_view symbol);

// The value of the cycle entry labelled `label` of the cycle `symbol`; kUnknownSymbol with a console
// line when the description has no such parameter or entry.
Int32 CycleValue(Int32 nodeType, std::string_view symbol, std::string_view label);

// A node's values read by the symbols of its type's description.
class NamedValues {
 public:
  NamedValues(const BaseContainer& data, Int32 nodeType) : data_(data), type_(nodeType) {}

  Int32 Int32Of(std::string_view symbol, Int32 fallback = 0) const;
  Bool BoolOf(std::string_view symbol, Bool fallback = false) const;
  Float FloatOf(std::string_view symbol, Float fallback = 0.0) const;
  // The cycle `symbol` holds the entry labelled `label`.
  Bool Is(std::string_view symbol, std::string_view label) const;

 private:
  const BaseContainer& data_;
  Int32 type_;
};
