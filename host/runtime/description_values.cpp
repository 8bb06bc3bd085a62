#include "description_values.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

namespace {
constexpr Float kDegreesPerRadian = 180.0 / std::numbers::pi;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && Lower(text.substr(text.size() - suffix.size())) == suffix;
}

std::string Number(Float value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", value);
  return text;
}

bool ReadNumber(std::string_view text, Float& value) {
  const std::string copy(Trim(text));
  if (copy.empty()) return false;
  char* end = nullptr;
  value = std::strtod(copy.c_str(), &end);
  return *end == '\0' && std::isfinite(value);
}

bool ReadWhole(std::string_view text, Int32& value) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && problem == std::errc() && end == text.data() + text.size();
}

Int32 UnitOf(const DescriptionElement& element) { return element.properties.GetInt32(DESC_UNIT); }

// How a stored number reads in the element's unit.
std::string WithUnit(const DescriptionElement& element, Float value) {
  if (UnitOf(element) == DESC_UNIT_DEGREE) return Number(value * kDegreesPerRadian) + " deg";
  if (UnitOf(element) == DESC_UNIT_METER) return Number(value) + " cm";
  return Number(value);
}

// A refused value with the digits that tell it from the limit: only values beyond single precision
// are refused, and nine digits always show that much.
std::string PreciseWithUnit(const DescriptionElement& element, Float value) {
  char text[32];
  const bool degrees = UnitOf(element) == DESC_UNIT_DEGREE;
  std::snprintf(text, sizeof(text), "%.9g", degrees ? value * kDegreesPerRadian : value);
  return text + std::string(degrees ? " deg" : UnitOf(element) == DESC_UNIT_METER ? " cm" : "");
}

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\n')
      quoted += "\\n";
    else if (c == '"' || c == '\\')
      quoted += std::string("\\") + c;
    else
      quoted += c;
  }
  return quoted + "\"";
}

std::string Choices(const DescriptionElement& element) {
  const BaseContainer cycle = element.properties.GetContainer(DESC_CYCLE);
  std::string list;
  for (Int32 i = 0; i < cycle.GetCount(); ++i) {
    const Int32 value = cycle.GetIndexId(i);
    list += (i ? ", " : "") + std::to_string(value) + " " + cycle.GetString(value).GetStdString();
  }
  return list;
}

std::string Named(const DescriptionElement& element) {
  return element.symbol + " (" + element.Label().GetStdString() + ")";
}

bool Refuse(const DescriptionElement& element, const std::string& takes, std::string_view text,
            std::string& error) {
  const std::string kind = element.IsCycle() ? "choice" : ElementKindName(element.kind);
  error = Named(element) + " is a " + kind + ": it takes " + takes + "; got \"" + std::string(text) + "\"";
  return false;
}

std::string LimitsText(const DescriptionElement& element) {
  const BaseContainer& p = element.properties;
  const bool hasMin = p.GetDataPointer(DESC_MIN) != nullptr;
  const bool hasMax = p.GetDataPointer(DESC_MAX) != nullptr;
  if (hasMin && hasMax)
    return WithUnit(element, p.GetFloat(DESC_MIN)) + " to " + WithUnit(element, p.GetFloat(DESC_MAX));
  if (hasMin) return "at least " + WithUnit(element, p.GetFloat(DESC_MIN));
  if (hasMax) return "at most " + WithUnit(element, p.GetFloat(DESC_MAX));
  return {};
}

// A limit is met by a value that equals it in single precision: the module works in floats (its pad
// makes pi/2 as a float, a hair above the double), and "90deg" rounds a hair either side of pi/2.
bool Below(Float value, Float limit) {
  return value < limit && static_cast<Float32>(value) < static_cast<Float32>(limit);
}

bool InsideLimits(const DescriptionElement& element, Float value) {
  const BaseContainer& p = element.properties;
  if (p.GetDataPointer(DESC_MIN) && Below(value, p.GetFloat(DESC_MIN))) return false;
  return !(p.GetDataPointer(DESC_MAX) && Below(-value, -p.GetFloat(DESC_MAX)));
}

bool ParseBool(const DescriptionElement& element, std::string_view text, GeData& value, std::string& error) {
  const std::string word = Lower(Trim(text));
  const bool on = word == "on" || word == "true" || word == "yes" || word == "1";
  const bool off = word == "off" || word == "false" || word == "no" || word == "0";
  if (!on && !off) return Refuse(element, "on or off", text, error);
  value = GeData(on);
  return true;
}

bool ParseCycle(const DescriptionElement& element, std::string_view text, GeData& value, std::string& error) {
  const BaseContainer cycle = element.properties.GetContainer(DESC_CYCLE);
  Int32 number = 0;
  bool found = ReadWhole(text, number) && cycle.GetDataPointer(number);
  for (Int32 i = 0; i < cycle.GetCount() && !found; ++i) {
    number = cycle.GetIndexId(i);
    found = Lower(cycle.GetString(number).GetStdString()) == Lower(Trim(text));
  }
  if (!found)
    return Refuse(element, "one of " + Choices(element) + " (the number or the label)", text, error);
  value = GeData(number);
  return true;
}

bool ParseWhole(const DescriptionElement& element, std::string_view text, GeData& value, std::string& error) {
  Int32 number = 0;
  const std::string limits = LimitsText(element);
  const std::string takes = limits.empty() ? "a whole number" : "a whole number from " + limits;
  if (!ReadWhole(text, number) || !InsideLimits(element, number)) return Refuse(element, takes, text, error);
  value = GeData(number);
  return true;
}

// Angles take a "deg" suffix for degrees and are radians without one; lengths may carry "cm".
bool ParseReal(const DescriptionElement& element, std::string_view text, GeData& value, std::string& error) {
  const bool angle = UnitOf(element) == DESC_UNIT_DEGREE;
  std::string_view number = Trim(text);
  Float scale = 1.0;
  if (angle && EndsWith(number, "deg")) {
    number.remove_suffix(3);
    scale = 1.0 / kDegreesPerRadian;
  } else if (UnitOf(element) == DESC_UNIT_METER && EndsWith(number, "cm")) {
    number.remove_suffix(2);
  }
  Float parsed = 0.0;
  const std::string limits = LimitsText(element);
  std::string takes = angle ? "an angle in radians, or in degrees with a \"deg\" suffix (90deg)" : "a number";
  if (!limits.empty()) takes += " from " + limits;
  if (!ReadNumber(number, parsed) || !InsideLimits(element, parsed * scale))
    return Refuse(element, takes, text, error);
  value = GeData(parsed * scale);
  return true;
}

bool ParseVector(const DescriptionElement& element, std::string_view text, GeData& value,
                 std::string& error) {
  std::string spaced(Trim(text));
  std::replace_if(
      spaced.begin(), spaced.end(), [](char c) { return c == ',' || c == '(' || c == ')'; }, ' ');
  Float parts[3] = {};
  const char* at = spaced.c_str();
  for (Float& part : parts) {
    char* end = nullptr;
    part = std::strtod(at, &end);
    if (end == at || !std::isfinite(part)) return Refuse(element, "three numbers x,y,z", text, error);
    at = end;
  }
  if (!Trim(at).empty()) return Refuse(element, "three numbers x,y,z", text, error);
  value = GeData(Vector(parts[0], parts[1], parts[2]));
  return true;
}

// "\n" in the text stands for a line break, "\\" for a backslash.
std::string Unescaped(std::string_view text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      plain += text[i + 1] == 'n' ? '\n' : '\\';
      ++i;
    } else {
      plain += text[i];
    }
  }
  return plain;
}
}  // namespace

std::string FormatValue(const DescriptionElement& element, const GeData& value) {
  switch (element.kind) {
    case ElementKind::Bool:
      return value.GetBool() ? "on" : "off";
    case ElementKind::Int32: {
      const Int32 number = value.GetInt32();
      if (!element.IsCycle()) return std::to_string(number);
      const BaseContainer cycle = element.properties.GetContainer(DESC_CYCLE);
      const GeData* label = cycle.GetDataPointer(number);
      return label ? label->GetString().GetStdString() + " (" + std::to_string(number) + ")"
                   : std::to_string(number) + " (not a listed choice)";
    }
    case ElementKind::Float:
      return WithUnit(element, value.GetFloat());
    case ElementKind::Vector: {
      const Vector v = value.GetVector();
      std::string text = "(";  // appended piece by piece: GCC 12 misreads the chained form (-Wrestrict)
      text.append(Number(v.x)).append(", ").append(Number(v.y)).append(", ").append(Number(v.z)).append(")");
      return text;
    }
    case ElementKind::String:
      return Quoted(value.GetString().GetStdString());
    case ElementKind::Filename: {
      const std::string path = value.GetFilename().GetString().GetStdString();
      return path.empty() ? "(none)" : Quoted(path);
    }
    case ElementKind::ShaderLink: {
      const BaseList2D* shader = value.GetLink();
      return shader ? Quoted(shader->GetName().GetStdString()) : "(none)";
    }
    default:
      return {};
  }
}

bool ParseValue(const DescriptionElement& element, std::string_view text, GeData& value, std::string& error) {
  switch (element.kind) {
    case ElementKind::Bool:
      return ParseBool(element, text, value, error);
    case ElementKind::Int32:
      return element.IsCycle() ? ParseCycle(element, text, value, error)
                               : ParseWhole(element, text, value, error);
    case ElementKind::Float:
      return ParseReal(element, text, value, error);
    case ElementKind::Vector:
      return ParseVector(element, text, value, error);
    case ElementKind::String:
      value = GeData(String(Unescaped(text)));
      return true;
    case ElementKind::Filename:
      value = GeData(Filename(String(std::string(Trim(text)))));
      return true;
    default:
      error = Named(element) + " is a " + ElementKindName(element.kind) + " and holds no value to set";
      return false;
  }
}

bool CheckLimits(const DescriptionElement& element, const GeData& value, std::string& error) {
  const bool number = value.GetType() == DA_LONG || value.GetType() == DA_REAL;
  if (!number || element.kind == ElementKind::Bool) return true;
  const Float held = value.GetType() == DA_LONG ? value.GetInt32() : value.GetFloat();
  if (element.IsCycle() && element.kind == ElementKind::Int32) {
    if (element.properties.GetContainer(DESC_CYCLE).GetDataPointer(value.GetInt32())) return true;
    error = Named(element) + " takes one of " + Choices(element) + "; got " + Number(held);
    return false;
  }
  if (InsideLimits(element, held)) return true;
  error = Named(element) + " takes " + LimitsText(element) + "; got " + PreciseWithUnit(element, held);
  return false;
}

std::string ExactNumber(Float value) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof(text), value);
  return std::string(text, written.ptr);
}
