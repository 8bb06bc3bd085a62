#pragma once

#include "c4d.h"

#include <string>
#include <string_view>
#include <vector>

// What an element of a description is; decides how it holds, shows and takes a value.
enum class ElementKind {
  Group,
  Bool,
  Int32,  // a number, or a cycle when its properties hold DESC_CYCLE
  Float,
  Vector,
  String,
  Filename,
  Button,
  BitmapButton,
  StaticText,
  Separator,
  ShaderLink,
};

const char* ElementKindName(ElementKind kind);
// True for the kinds that hold a value the user edits.
Bool HoldsEditableValue(ElementKind kind);

// One element of a panel, with the properties the module reads and changes (DESC_HIDE ...).
struct DescriptionElement {
  Int32 id = 0;        // 0 for layout-only groups
  std::string symbol;  // e.g. "PREFIX_STEREO_MODE"; may be empty for layout-only groups
  ElementKind kind = ElementKind::Group;
  Int32 parent = -1;  // index of the enclosing group in DescriptionRecord::elements; -1 at the top
  BaseContainer properties;
  std::string customGui;  // the custom GUI's resource symbol ("XYPAD"), empty for the standard one

  Bool IsCycle() const { return properties.GetDataPointer(DESC_CYCLE) != nullptr; }
  Bool IsHidden() const { return properties.GetBool(DESC_HIDE); }
  // The short name when there is one: the text the panel shows.
  String Label() const;
};

// A parsed description: its elements in panel order, a group before its members.
struct DescriptionRecord {
  std::string resourceName;
  std::string file;  // where it was read from
  std::vector<DescriptionElement> elements;

  DescriptionElement* Find(Int32 id);
  const DescriptionElement* Find(Int32 id) const;
  // By symbol, ignoring case, with or without the symbol's prefix (the text up to its first '_').
  const DescriptionElement* FindSymbol(std::string_view name) const;
  // The element and every group around it are visible.
  Bool IsShown(const DescriptionElement& element) const;
  // Up to `count` symbols of value elements closest to `name` (edit distance, prefix optional).
  std::vector<std::string> NearestSymbols(std::string_view name, size_t count) const;
};

// The part of a symbol after its prefix: "PREFIX_STEREO_MODE" -> "STEREO_MODE".
std::string_view WithoutPrefix(std::string_view symbol);
