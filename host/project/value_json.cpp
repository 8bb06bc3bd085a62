#include "value_json.h"

#include "runtime/description_values.h"
#include "runtime/shader_values.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <set>

namespace value_json {
namespace {

// The value type each kind of description element holds; empty for kinds without a value.
const char* TypeOfKind(ElementKind kind) {
  switch (kind) {
    case ElementKind::Bool:
      return "bool";
    case ElementKind::Int32:
      return "int";
    case ElementKind::Float:
      return "float";
    case ElementKind::Vector:
      return "vector";
    case ElementKind::String:
      return "string";
    case ElementKind::Filename:
      return "filename";
    case ElementKind::ShaderLink:
      return "shader";
    default:
      return "";
  }
}

bool Finite(const Vector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

Json VectorJson(const Vector& v) { return Json::array({v.x, v.y, v.z}); }

std::string KeyOf(const DescriptionRecord& record, Int32 id) {
  const DescriptionElement* element = record.Find(id);
  return element && !element->symbol.empty() ? element->symbol : std::to_string(id);
}

bool ContainerJson(const BaseContainer& container, const DescriptionRecord& record, Json& out,
                   std::string& error);

// `finite`, or false with `error` saying why the value cannot be written.
bool FiniteOr(bool finite, const char* why, std::string& error) {
  if (!finite) error = why;
  return finite;
}

// One value as {"type", "value"}; false with `error` when it would not read back.
bool ValueJson(const GeData& data, const DescriptionElement* element, Json& out, std::string& error) {
  switch (data.GetType()) {
    case DA_LONG:
      if (element && element->kind == ElementKind::Bool) {
        out = {{"type", "bool"}, {"value", data.GetBool()}};
      } else {
        out = {{"type", "int"}, {"value", data.GetInt32()}};
      }
      return true;
    case DA_REAL:
      out = {{"type", "float"}, {"value", data.GetFloat()}};
      return FiniteOr(std::isfinite(data.GetFloat()), "is not a finite number", error);
    case DA_VECTOR:
      out = {{"type", "vector"}, {"value", VectorJson(data.GetVector())}};
      return FiniteOr(Finite(data.GetVector()), "is not a finite vector", error);
    case DA_MATRIX: {
      const Matrix m = data.GetMatrix();
      out = {{"type", "matrix"},
             {"value", Json::array({VectorJson(m.offset), VectorJson(m.axisX), VectorJson(m.axisY),
                                    VectorJson(m.axisZ)})}};
      const bool finite = Finite(m.offset) && Finite(m.axisX) && Finite(m.axisY) && Finite(m.axisZ);
      return FiniteOr(finite, "is not a finite matrix", error);
    }
    case DA_STRING:
      out = {{"type", "string"}, {"value", data.GetString().GetStdString()}};
      return true;
    case DA_FILENAME:
      out = {{"type", "filename"}, {"value", data.GetFilename().GetString().GetStdString()}};
      return true;
    case DA_TIME:
      out = {{"type", "time"}, {"value", data.GetTime().Get()}};
      return FiniteOr(std::isfinite(data.GetTime().Get()), "is not a finite time", error);
    case DA_CONTAINER: {
      Json values;
      if (!ContainerJson(*data.GetContainer(), DescriptionRecord(), values, error)) return false;
      out = {{"type", "container"}, {"id", data.GetContainer()->GetId()}, {"value", values}};
      return true;
    }
    case DA_ALIASLINK:
      error = "links to something that is not a shader of its own";
      return false;
    default:
      error = "holds a value of type " + std::to_string(data.GetType()) + ", which a project cannot hold";
      return false;
  }
}

bool ContainerJson(const BaseContainer& container, const DescriptionRecord& record, Json& out,
                   std::string& error) {
  out = Json::object();
  for (Int32 i = 0; i < container.GetCount(); ++i) {
    const Int32 id = container.GetIndexId(i);
    const std::string key = KeyOf(record, id);
    if (!ValueJson(container.GetData(id), record.Find(id), out[key], error)) {
      error = key + " " + error;
      return false;
    }
  }
  return true;
}

Json ShaderJson(const LinkedShader& shader, std::string& error, bool& ok) {
  if (shader.type == 0) return {{"type", "shader"}, {"value", nullptr}};
  Json values;
  ok = ContainerJson(shader.data, DescriptionRecord(), values, error);
  return {{"type", "shader"}, {"value", {{"shader", shader.type}, {"values", values}}}};
}

// Reading: every failure names the key path.
struct Reader {
  const std::string& where;
  std::string& error;

  bool Fail(const std::string& key, const std::string& why) const {
    error = where + "." + key + ": " + why;
    return false;
  }
};

std::optional<Float> Number(const Json& value) {
  if (!value.is_number()) return std::nullopt;
  return value.get<Float>();
}

std::optional<Vector> VectorOf(const Json& value) {
  if (!value.is_array() || value.size() != 3) return std::nullopt;
  const auto x = Number(value[0]), y = Number(value[1]), z = Number(value[2]);
  if (!x || !y || !z) return std::nullopt;
  return Vector(*x, *y, *z);
}

std::optional<Matrix> MatrixOf(const Json& value) {
  if (!value.is_array() || value.size() != 4) return std::nullopt;
  const auto offset = VectorOf(value[0]), x = VectorOf(value[1]), y = VectorOf(value[2]),
             z = VectorOf(value[3]);
  if (!offset || !x || !y || !z) return std::nullopt;
  return Matrix(*offset, *x, *y, *z);
}

std::optional<Int32> WholeOf(const Json& value) {
  if (!value.is_number_integer()) return std::nullopt;
  const auto number = value.get<std::int64_t>();
  if (value.is_number_unsigned() &&
      value.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<Int32>::max()))
    return std::nullopt;
  if (number < std::numeric_limits<Int32>::min() || number > std::numeric_limits<Int32>::max())
    return std::nullopt;
  return static_cast<Int32>(number);
}

bool ReadContainer(const Json& in, const DescriptionRecord& record, const Reader& reader, NodeValues& out);

// The plain value of `type`; nil when `value` does not fit the type.
GeData PlainValue(const std::string& type, const Json& value) {
  if (type == "bool" && value.is_boolean()) return GeData(value.get<bool>());
  if (type == "int")
    if (const auto whole = WholeOf(value)) return GeData(*whole);
  if (type == "float")
    if (const auto number = Number(value)) return GeData(*number);
  if (type == "time")
    if (const auto number = Number(value)) return GeData(BaseTime(*number));
  if (type == "vector")
    if (const auto vector = VectorOf(value)) return GeData(*vector);
  if (type == "matrix")
    if (const auto matrix = MatrixOf(value)) return GeData(*matrix);
  if (type == "string" && value.is_string()) return GeData(String(value.get<std::string>()));
  if (type == "filename" && value.is_string()) return GeData(Filename(String(value.get<std::string>())));
  return GeData();
}

bool IsKnownType(const std::string& type) {
  for (const char* known :
       {"bool", "int", "float", "time", "vector", "matrix", "string", "filename", "container", "shader"})
    if (type == known) return true;
  return false;
}

bool CanMakeShader(Int32 type) {
  BaseShader* probe = BaseShader::Alloc(type);
  const bool made = probe != nullptr;
  BaseShader::Free(probe);
  return made;
}

bool ReadShader(const Json& value, Int32 id, const std::string& key, const Reader& reader, NodeValues& out) {
  LinkedShader shader{id, 0, {}};
  if (!value.is_null()) {
    const auto type = value.is_object() && value.size() == 2 && value.contains("values")
                          ? WholeOf(value.value("shader", Json()))
                          : std::nullopt;
    if (!type || *type == 0)
      return reader.Fail(key, "a shader is null or {\"shader\": TYPE, \"values\": {...}}");
    if (!CanMakeShader(*type))
      return reader.Fail(key, "there is no shader of type " + std::to_string(*type) + " to make");
    NodeValues inner;
    const std::string innerWhere = reader.where + "." + key;
    if (!ReadContainer(value["values"], DescriptionRecord(), Reader{innerWhere, reader.error}, inner))
      return false;
    if (std::string why; !shader_values::Check(*type, inner.values, why)) return reader.Fail(key, why);
    shader = {id, *type, inner.values};
  }
  out.shaders.push_back(shader);
  return true;
}

bool ReadValue(const Json& item, Int32 id, const DescriptionElement* element, const std::string& key,
               const Reader& reader, NodeValues& out) {
  if (!item.is_object() || !item.contains("type") || !item.contains("value") || !item["type"].is_string())
    return reader.Fail(key, "each value is {\"type\": ..., \"value\": ...}");
  const std::string type = item["type"].get<std::string>();
  const size_t allowedKeys = type == "container" ? 3 : 2;
  if (item.size() != allowedKeys || (type == "container" && !item.contains("id")))
    return reader.Fail(key, "unknown key beside \"type\" and \"value\"" +
                                std::string(type == "container" ? " and \"id\"" : ""));
  if (!IsKnownType(type)) return reader.Fail(key, "unknown type \"" + type + "\"");
  const std::string expected = element ? TypeOfKind(element->kind) : "";
  if (element && expected.empty())
    return reader.Fail(key, std::string("is a ") + ElementKindName(element->kind) + ", which holds no value");
  if (!expected.empty() && type != expected)
    return reader.Fail(key, "is of type " + expected + ", not " + type);
  const Json& value = item["value"];
  if (type == "shader") return ReadShader(value, id, key, reader, out);
  if (type == "container") {
    const auto containerId = WholeOf(item["id"]);
    NodeValues inner;
    const std::string innerWhere = reader.where + "." + key;
    if (!containerId) return reader.Fail(key, "a container's \"id\" is a whole number");
    if (!ReadContainer(value, DescriptionRecord(), Reader{innerWhere, reader.error}, inner)) return false;
    if (!inner.shaders.empty()) return reader.Fail(key, "a container inside holds no shaders");
    inner.values.SetId(*containerId);
    out.values.SetContainer(id, inner.values);
    return true;
  }
  const GeData data = PlainValue(type, value);
  if (data.IsNil()) return reader.Fail(key, "the value is not a " + type);
  std::string outside;
  if (element && !CheckLimits(*element, data, outside)) return reader.Fail(key, outside);
  out.values.SetData(id, data);
  return true;
}

// A key that is an ID written out ("1000", "-3"); nothing else.
std::optional<Int32> DecimalId(const std::string& key) {
  Int32 id = 0;
  const auto [end, problem] = std::from_chars(key.data(), key.data() + key.size(), id);
  if (key.empty() || problem != std::errc() || end != key.data() + key.size()) return std::nullopt;
  return id;
}

bool ReadContainer(const Json& in, const DescriptionRecord& record, const Reader& reader, NodeValues& out) {
  if (!in.is_object()) {
    reader.error = reader.where + ": must be an object of named values";
    return false;
  }
  std::set<Int32> seen;
  for (const auto& [key, item] : in.items()) {
    const DescriptionElement* element = record.FindSymbol(key);
    const std::optional<Int32> id = element ? std::optional<Int32>(element->id) : DecimalId(key);
    if (!id || (element && element->id == 0)) {
      std::string nearest;
      for (const std::string& name : record.NearestSymbols(key, 3))
        nearest += (nearest.empty() ? "" : ", ") + name;
      return reader.Fail(key, "unknown key" + (nearest.empty() ? "" : " (nearest: " + nearest + ")"));
    }
    if (!seen.insert(*id).second) return reader.Fail(key, "names a value given before under another name");
    if (!element) element = record.Find(*id);
    // A node's own values are all described; only the containers of shaders hold bare IDs.
    if (!element && !record.elements.empty())
      return reader.Fail(
          key, "unknown ID: the description \"" + record.resourceName + "\" has no parameter " + key);
    if (!ReadValue(item, *id, element, key, reader, out)) return false;
  }
  return true;
}

// A shader the node owns; links to anything else cannot be made again from a file.
bool OwnsShader(const BaseList2D& node, const BaseList2D* linked) {
  for (const GeListNode* shader = node.GetFirstShader(); shader; shader = shader->GetNext())
    if (shader == linked) return true;
  return false;
}

}  // namespace

NodeValues Capture(const BaseList2D& node) {
  NodeValues captured;
  captured.values = *node.GetDataInstance();
  const BaseContainer& data = *node.GetDataInstance();
  for (Int32 i = 0; i < data.GetCount(); ++i) {
    const Int32 id = data.GetIndexId(i);
    if (data.GetData(id).GetType() != DA_ALIASLINK) continue;
    const BaseList2D* linked = data.GetLink(id);
    if (linked && !OwnsShader(node, linked)) continue;  // stays a link: ToJson refuses it by name
    captured.shaders.push_back(
        {id, linked ? linked->GetType() : 0, linked ? *linked->GetDataInstance() : BaseContainer()});
    captured.values.RemoveData(id);
  }
  return captured;
}

bool ToJson(const NodeValues& values, const DescriptionRecord& record, Json& out, std::string& error) {
  if (!ContainerJson(values.values, record, out, error)) return false;
  for (const LinkedShader& shader : values.shaders) {
    bool ok = true;
    const std::string key = KeyOf(record, shader.id);
    out[key] = ShaderJson(shader, error, ok);
    if (!ok) {
      error = key + " " + error;
      return false;
    }
  }
  return true;
}

bool FromJson(const Json& in, const DescriptionRecord& record, const std::string& where, NodeValues& out,
              std::string& error) {
  out = NodeValues();
  return ReadContainer(in, record, Reader{where, error}, out);
}

bool Apply(const NodeValues& values, BaseList2D& node, std::string& error) {
  BaseContainer& data = *node.GetDataInstance();
  for (Int32 i = 0; i < values.values.GetCount(); ++i) {
    const Int32 id = values.values.GetIndexId(i);
    data.SetData(id, values.values.GetData(id));
  }
  for (const LinkedShader& linked : values.shaders) {
    BaseShader* shader = linked.type ? BaseShader::Alloc(linked.type) : nullptr;
    if (linked.type && !shader) {
      error = "cannot make a shader of type " + std::to_string(linked.type) + " for parameter " +
              std::to_string(linked.id);
      return false;
    }
    if (shader) {
      shader->GetDataInstance()->FlushAll();
      shader->GetDataInstance()->MergeContainer(linked.data);
      node.InsertShader(shader);
    }
    data.SetLink(linked.id, shader);
  }
  return true;
}

}  // namespace value_json
