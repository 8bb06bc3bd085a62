#include "description_file.h"

#include "files/json_nesting.h"
#include "files/regular_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <numbers>
#include <set>

using nlohmann::json;

namespace {

constexpr std::uintmax_t kMaxDescriptionBytes = std::uintmax_t{16} << 20;  // real ones hold a few KB

struct KindName {
  const char* name;
  ElementKind kind;
};
constexpr KindName kKinds[] = {
    {"group", ElementKind::Group},
    {"bool", ElementKind::Bool},
    {"int", ElementKind::Int32},
    {"float", ElementKind::Float},
    {"vector", ElementKind::Vector},
    {"string", ElementKind::String},
    {"filename", ElementKind::Filename},
    {"button", ElementKind::Button},
    {"bitmapbutton", ElementKind::BitmapButton},
    {"static", ElementKind::StaticText},
    {"separator", ElementKind::Separator},
    {"shader", ElementKind::ShaderLink},
};

// The keys an element of a kind may carry beyond type, id, name, label, short and hidden.
std::set<std::string> ExtraKeys(ElementKind kind) {
  switch (kind) {
    case ElementKind::Group:
      return {"open", "columns", "elements"};
    case ElementKind::Int32:
      return {"min", "max", "step", "cycle"};
    case ElementKind::Float:
      return {"min", "max", "step", "unit"};
    case ElementKind::Vector:
      return {"min", "max", "step", "gui"};
    default:
      return {};
  }
}

// Turns one JSON document into description elements; stops at the first problem.
class DescriptionParser {
 public:
  DescriptionParser(const std::string& fileName, DescriptionRecord& record)
      : file_(fileName), record_(record) {}

  bool Parse(const json& document) {
    if (!document.is_object()) return Fail("the file must hold one JSON object");
    for (const auto& [key, value] : document.items())
      if (key != "description" && key != "elements" && key != "comment")
        return Fail("unknown top-level key \"" + key + "\"");
    if (document.contains("description")) {
      if (!document["description"].is_string()) return Fail("\"description\" must be a text");
      record_.resourceName = document["description"].get<std::string>();
    }
    if (!document.contains("elements")) return Fail("the file has no \"elements\" list");
    return ParseList(document["elements"], -1);
  }

  const std::string& Error() const { return error_; }

 private:
  bool Fail(const std::string& problem) {
    error_ = file_ + ": " + problem;
    return false;
  }

  bool FailAt(const json& element, const std::string& problem) {
    std::string where = "element #" + std::to_string(count_);
    if (element.is_object() && element.contains("name") && element["name"].is_string())
      where = "element \"" + element["name"].get<std::string>() + "\"";
    return Fail(where + ": " + problem);
  }

  bool ParseList(const json& list, Int32 parent) {
    if (!list.is_array()) return Fail("\"elements\" must be a list");
    for (const json& element : list)
      if (!ParseElement(element, parent)) return false;
    return true;
  }

  bool ParseElement(const json& element, Int32 parent) {
    ++count_;
    if (!element.is_object()) return FailAt(element, "must be a JSON object");
    DescriptionElement parsed;
    parsed.parent = parent;
    if (!ReadKind(element, parsed.kind) || !CheckKeys(element, parsed.kind) ||
        !ReadIdentity(element, parsed) || !ReadTexts(element, parsed) || !ReadNumbers(element, parsed) ||
        !ReadCycle(element, parsed))
      return false;
    if (element.contains("gui")) parsed.customGui = element["gui"].get<std::string>();
    if (parent >= 0) parsed.properties.SetInt32(DESC_PARENTGROUP, record_.elements[parent].id);
    const bool isGroup = parsed.kind == ElementKind::Group;
    if (isGroup && !ReadGroup(element, parsed)) return false;
    record_.elements.push_back(std::move(parsed));
    const Int32 self = static_cast<Int32>(record_.elements.size()) - 1;
    return !isGroup || !element.contains("elements") || ParseList(element["elements"], self);
  }

  bool ReadKind(const json& element, ElementKind& kind) {
    if (!element.contains("type") || !element["type"].is_string()) return FailAt(element, "has no \"type\"");
    const std::string type = element["type"].get<std::string>();
    for (const KindName& entry : kKinds) {
      if (type == entry.name) {
        kind = entry.kind;
        return true;
      }
    }
    return FailAt(element, "unknown type \"" + type + "\"");
  }

  bool CheckKeys(const json& element, ElementKind kind) {
    static const std::set<std::string> kCommon = {"type",  "id",     "name",   "label",
                                                  "short", "hidden", "comment"};
    const std::set<std::string> extra = ExtraKeys(kind);
    for (const auto& [key, value] : element.items())
      if (!kCommon.contains(key) && !extra.contains(key))
        return FailAt(element,
                      "key \"" + key + "\" does not belong to a " + element["type"].get<std::string>());
    return true;
  }

  // Every element but groups and separators is addressed by an ID and a symbol.
  bool ReadIdentity(const json& element, DescriptionElement& parsed) {
    const bool optional = parsed.kind == ElementKind::Group || parsed.kind == ElementKind::Separator;
    if (element.contains("id")) {
      if (!element["id"].is_number_integer() || element["id"].get<Int64>() <= 0 ||
          element["id"].get<Int64>() > INT32_MAX)
        return FailAt(element, "\"id\" must be a positive whole number");
      parsed.id = element["id"].get<Int32>();
      if (record_.Find(parsed.id))
        return FailAt(element, "ID " + std::to_string(parsed.id) + " is used twice");
    } else if (!optional) {
      return FailAt(element, "has no \"id\"");
    }
    if (element.contains("name")) {
      if (!element["name"].is_string()) return FailAt(element, "\"name\" must be a text");
      parsed.symbol = element["name"].get<std::string>();
      if (record_.FindSymbol(parsed.symbol)) return FailAt(element, "the name is used twice");
      parsed.properties.SetString(DESC_IDENT, String(parsed.symbol));
    } else if (parsed.id != 0) {
      return FailAt(element, "has an \"id\" but no \"name\"");
    }
    return true;
  }

  bool ReadTexts(const json& element, DescriptionElement& parsed) {
    for (const char* key : {"label", "short", "gui"})
      if (element.contains(key) && !element[key].is_string())
        return FailAt(element, std::string("\"") + key + "\" must be a text");
    const std::string label = element.value("label", parsed.symbol);
    parsed.properties.SetString(DESC_NAME, String(label));
    parsed.properties.SetString(DESC_SHORT_NAME, String(element.value("short", label)));
    if (element.contains("hidden")) {
      if (!element["hidden"].is_boolean()) return FailAt(element, "\"hidden\" must be true or false");
      parsed.properties.SetBool(DESC_HIDE, element["hidden"].get<bool>());
    }
    return true;
  }

  // Limits and steps are written in the unit shown (degrees for angles) and kept in radians.
  bool ReadNumbers(const json& element, DescriptionElement& parsed) {
    Float scale = 1.0;
    if (element.contains("unit")) {
      const json& unit = element["unit"];
      if (unit == "degrees") {
        parsed.properties.SetInt32(DESC_UNIT, DESC_UNIT_DEGREE);
        scale = std::numbers::pi / 180.0;
      } else if (unit == "length") {
        parsed.properties.SetInt32(DESC_UNIT, DESC_UNIT_METER);
      } else {
        return FailAt(element, "\"unit\" must be \"degrees\" or \"length\"");
      }
    } else if (parsed.kind == ElementKind::Float) {
      parsed.properties.SetInt32(DESC_UNIT, DESC_UNIT_FLOAT);
    }
    const std::pair<const char*, Int32> limits[] = {
        {"min", DESC_MIN}, {"max", DESC_MAX}, {"step", DESC_STEP}};
    for (const auto& [key, property] : limits) {
      if (!element.contains(key)) continue;
      if (!element[key].is_number()) return FailAt(element, std::string("\"") + key + "\" must be a number");
      const Float value = element[key].get<Float>() * scale;
      if (parsed.kind == ElementKind::Int32)
        parsed.properties.SetInt32(property, static_cast<Int32>(value));
      else
        parsed.properties.SetFloat(property, value);
    }
    if (parsed.properties.GetDataPointer(DESC_MIN) && parsed.properties.GetDataPointer(DESC_MAX) &&
        parsed.properties.GetFloat(DESC_MIN) > parsed.properties.GetFloat(DESC_MAX))
      return FailAt(element, "\"min\" is above \"max\"");
    return true;
  }

  // A list of labels (values 0, 1, ...) or of [value, label] pairs.
  bool ReadCycle(const json& element, DescriptionElement& parsed) {
    if (!element.contains("cycle")) return true;
    const json& cycle = element["cycle"];
    if (!cycle.is_array() || cycle.empty()) return FailAt(element, "\"cycle\" must be a list of choices");
    BaseContainer entries;
    Int32 next = 0;
    for (const json& entry : cycle) {
      const bool pair =
          entry.is_array() && entry.size() == 2 && entry[0].is_number_integer() && entry[1].is_string();
      if (!pair && !entry.is_string())
        return FailAt(element, "a cycle choice must be a label or a [value, label] pair");
      const Int32 value = pair ? entry[0].get<Int32>() : next;
      if (entries.GetDataPointer(value))
        return FailAt(element, "cycle value " + std::to_string(value) + " twice");
      entries.SetString(value, String(pair ? entry[1].get<std::string>() : entry.get<std::string>()));
      next = value + 1;
    }
    parsed.properties.SetContainer(DESC_CYCLE, entries);
    return true;
  }

  bool ReadGroup(const json& element, DescriptionElement& parsed) {
    if (element.contains("open") && !element["open"].is_boolean())
      return FailAt(element, "\"open\" must be true or false");
    parsed.properties.SetBool(DESC_DEFAULTOPEN, element.value("open", true));
    if (element.contains("columns")) {
      if (!element["columns"].is_number_integer() || element["columns"].get<Int32>() < 1)
        return FailAt(element, "\"columns\" must be a whole number of 1 or more");
      parsed.properties.SetInt32(DESC_COLUMNS, element["columns"].get<Int32>());
    }
    return true;
  }

  const std::string& file_;
  DescriptionRecord& record_;
  std::string error_;
  Int32 count_ = 0;
};

// nlohmann's message without its exception tag and position prefix.
std::string SyntaxProblem(const std::string& what) {
  const size_t column = what.find("column ");
  const size_t colon = column == std::string::npos ? std::string::npos : what.find(": ", column);
  return colon == std::string::npos ? what : what.substr(colon + 2);
}

}  // namespace

Int32 LineOfOffset(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  return 1 + static_cast<Int32>(
                 std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

bool ParseDescriptionText(std::string_view text, const std::string& fileName, DescriptionRecord& record,
                          std::string& error) {
  record.elements.clear();
  record.file = fileName;
  if (!json_nesting::Check(text, error)) {
    error = fileName + ": " + error;
    return false;
  }
  json document;
  try {
    document = json::parse(text);
  } catch (const json::parse_error& problem) {
    // `byte` counts from 1 and points at the character that broke the syntax.
    const size_t offset = problem.byte > 0 ? problem.byte - 1 : 0;
    error = fileName + ", line " + std::to_string(LineOfOffset(text, offset)) + ": " +
            SyntaxProblem(problem.what());
    return false;
  } catch (const json::exception& problem) {
    // A number too large for a double, for instance; the library names no position for it.
    error = fileName + ": " + SyntaxProblem(problem.what());
    return false;
  }
  DescriptionParser parser(fileName, record);
  try {
    if (parser.Parse(document)) return true;
    error = parser.Error();
  } catch (const json::exception& problem) {
    error = fileName + ": " + problem.what();
  }
  record.elements.clear();
  return false;
}

bool ReadDescriptionFile(const std::string& path, DescriptionRecord& record, std::string& error) {
  std::string text;
  if (!regular_file::ReadText(path, kMaxDescriptionBytes, text, error)) {
    record.elements.clear();
    error = path + ": " + error;
    return false;
  }
  return ParseDescriptionText(text, path, record, error);
}
