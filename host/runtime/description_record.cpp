#include "description_record.h"

#include <algorithm>
#include <cctype>
#include <numeric>

const char* ElementKindName(ElementKind kind) {
  switch (kind) {
    case ElementKind::Group:
      return "group";
    case ElementKind::Bool:
      return "checkbox";
    case ElementKind::Int32:
      return "whole number";
    case ElementKind::Float:
      return "number";
    case ElementKind::Vector:
      return "vector";
    case ElementKind::String:
      return "text";
    case ElementKind::Filename:
      return "file name";
    case ElementKind::Button:
      return "button";
    case ElementKind::BitmapButton:
      return "bitmap button";
    case ElementKind::StaticText:
      return "static text";
    case ElementKind::Separator:
      return "separator";
    case ElementKind::ShaderLink:
      return "shader link";
  }
  return "element";
}

Bool HoldsEditableValue(ElementKind kind) {
  switch (kind) {
    case ElementKind::Bool:
    case ElementKind::Int32:
    case ElementKind::Float:
    case ElementKind::Vector:
    case ElementKind::String:
    case ElementKind::Filename:
      return true;
    default:
      return false;
  }
}

String DescriptionElement::Label() const {
  const String shortName = properties.GetString(DESC_SHORT_NAME);
  return shortName.IsEmpty() ? properties.GetString(DESC_NAME) : shortName;
}

DescriptionElement* DescriptionRecord::Find(Int32 id) {
  if (id == 0) return nullptr;
  const auto found =
      std::find_if(elements.begin(), elements.end(), [id](const auto& e) { return e.id == id; });
  return found == elements.end() ? nullptr : &*found;
}

const DescriptionElement* DescriptionRecord::Find(Int32 id) const {
  return const_cast<DescriptionRecord*>(this)->Find(id);
}

namespace {
bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}
}  // namespace

std::string_view WithoutPrefix(std::string_view symbol) {
  const size_t underscore = symbol.find('_');
  return underscore == std::string_view::npos ? symbol : symbol.substr(underscore + 1);
}

const DescriptionElement* DescriptionRecord::FindSymbol(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (const DescriptionElement& element : elements)
    if (!element.symbol.empty() && SameIgnoringCase(element.symbol, name)) return &element;
  for (const DescriptionElement& element : elements)
    if (!element.symbol.empty() && SameIgnoringCase(WithoutPrefix(element.symbol), name)) return &element;
  return nullptr;
}

Bool DescriptionRecord::IsShown(const DescriptionElement& element) const {
  for (const DescriptionElement* at = &element; at; at = at->parent >= 0 ? &elements[at->parent] : nullptr)
    if (at->IsHidden()) return false;
  return true;
}

namespace {
// Levenshtein distance, case-insensitive.
size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), size_t{0});
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const bool same = std::toupper(static_cast<unsigned char>(a[i - 1])) ==
                        std::toupper(static_cast<unsigned char>(b[j - 1]));
      const size_t replaced = diagonal + (same ? 0 : 1);
      diagonal = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, replaced});
    }
  }
  return row[b.size()];
}

bool Contains(std::string_view text, std::string_view part) {
  const auto upper = [](char c) { return std::toupper(static_cast<unsigned char>(c)); };
  return !part.empty() && std::search(text.begin(), text.end(), part.begin(), part.end(),
                                      [&](char a, char b) { return upper(a) == upper(b); }) != text.end();
}
}  // namespace

std::vector<std::string> DescriptionRecord::NearestSymbols(std::string_view name, size_t count) const {
  std::vector<std::pair<size_t, std::string>> ranked;
  for (const DescriptionElement& element : elements) {
    if (element.symbol.empty() || !HoldsEditableValue(element.kind)) continue;
    const size_t distance =
        std::min(EditDistance(name, element.symbol), EditDistance(name, WithoutPrefix(element.symbol)));
    // A name that is part of a symbol ("FOV" in "PREFIX_FISHEYE_FOV") is nearer than any typo.
    ranked.emplace_back(Contains(element.symbol, name) ? 0 : distance + 1, element.symbol);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> nearest;
  for (size_t i = 0; i < ranked.size() && i < count; ++i) nearest.push_back(ranked[i].second);
  return nearest;
}
