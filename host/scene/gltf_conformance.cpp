#include "gltf_conformance.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>

namespace gltf_conformance {
namespace {

using Json = nlohmann::json;

bool Fail(std::string& error, const std::string& element, const std::string& why) {
  error = element + ": " + why;
  return false;
}

bool CheckVersion(const tinygltf::Model& model, std::string& error) {
  const std::string& version = model.asset.version;
  if (version.size() >= 2 && version[0] == '2' && version[1] == '.') return true;
  return Fail(error, "asset.version", "\"" + version + "\" is not 2.x; only glTF 2.0 files are read");
}

bool CheckExtensions(const tinygltf::Model& model, std::string& error) {
  for (const std::string& required : model.extensionsRequired)
    if (!IsSupportedExtension(required))
      return Fail(error, "extensionsRequired",
                  "\"" + required + "\" is not supported (the importer implements " +
                      SupportedExtensionNames() + ")");
  return true;
}

bool IsIndex(const Json& value) {
  return value.is_number_unsigned() || (value.is_number_integer() && value >= 0);
}

bool CheckScene(const Json& root, const tinygltf::Model& model, std::string& error) {
  if (!root.contains("scene")) return true;
  const Json& scene = root["scene"];
  if (!IsIndex(scene) || scene.get<std::uint64_t>() >= model.scenes.size())
    return Fail(error, "scene",
                scene.dump() + " names no scene (the file has " + std::to_string(model.scenes.size()) + ")");
  return true;
}

bool CheckPositions(const tinygltf::Model& model, std::string& error) {
  for (size_t m = 0; m < model.meshes.size(); ++m)
    for (size_t p = 0; p < model.meshes[m].primitives.size(); ++p) {
      const auto& attributes = model.meshes[m].primitives[p].attributes;
      const auto position = attributes.find("POSITION");
      if (position == attributes.end() || position->second < 0 ||
          static_cast<size_t>(position->second) >= model.accessors.size())
        continue;  // the importer names a missing one
      const tinygltf::Accessor& accessor = model.accessors[position->second];
      if (accessor.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT) continue;  // its type the reader checks
      return Fail(
          error,
          "meshes[" + std::to_string(m) + "].primitives[" + std::to_string(p) + "].attributes.POSITION",
          "accessor " + std::to_string(position->second) + " holds components of type " +
              std::to_string(accessor.componentType) + "; positions are floats (5126)");
    }
  return true;
}

// What each node field must be: an index, a list of indices, so many numbers, any numbers, text.
enum class Shape { Index, Indices, Numbers, Text };
struct NodeField {
  const char* name;
  Shape shape;
  size_t count;  // for Numbers: how many (0: any)
  const char* what;
};
constexpr NodeField kNodeFields[] = {
    {"camera", Shape::Index, 0, "an index (a whole number from 0)"},
    {"mesh", Shape::Index, 0, "an index (a whole number from 0)"},
    {"skin", Shape::Index, 0, "an index (a whole number from 0)"},
    {"children", Shape::Indices, 0, "a list of node indices"},
    {"matrix", Shape::Numbers, 16, "16 numbers"},
    {"translation", Shape::Numbers, 3, "3 numbers"},
    {"rotation", Shape::Numbers, 4, "4 numbers"},
    {"scale", Shape::Numbers, 3, "3 numbers"},
    {"weights", Shape::Numbers, 0, "a list of numbers"},
    {"name", Shape::Text, 0, "a string"},
};

bool Fits(const Json& value, const NodeField& field) {
  switch (field.shape) {
    case Shape::Index:
      return IsIndex(value);
    case Shape::Indices:
      return value.is_array() && std::all_of(value.begin(), value.end(), IsIndex);
    case Shape::Numbers:
      return value.is_array() && (field.count == 0 || value.size() == field.count) &&
             std::all_of(value.begin(), value.end(), [](const Json& n) { return n.is_number(); });
    case Shape::Text:
      return value.is_string();
  }
  return false;
}

bool CheckNodes(const Json& root, std::string& error) {
  if (!root.contains("nodes") || !root["nodes"].is_array()) return true;
  const Json& nodes = root["nodes"];
  for (size_t n = 0; n < nodes.size(); ++n) {
    const std::string element = "nodes[" + std::to_string(n) + "]";
    if (!nodes[n].is_object()) return Fail(error, element, "must be an object");
    for (const NodeField& field : kNodeFields)
      if (nodes[n].contains(field.name) && !Fits(nodes[n][field.name], field))
        return Fail(error, element + "." + field.name,
                    "must be " + std::string(field.what) + ", not " + nodes[n][field.name].dump());
  }
  return true;
}

}  // namespace

bool Check(const std::string& json, const tinygltf::Model& model, std::string& error) {
  const Json root = Json::parse(json, nullptr, false);
  if (root.is_discarded() || !root.is_object()) return Fail(error, "the file", "is not a JSON object");
  return CheckVersion(model, error) && CheckExtensions(model, error) && CheckScene(root, model, error) &&
         CheckPositions(model, error) && CheckNodes(root, error);
}

bool IsSupportedExtension(const std::string& name) {
  return std::any_of(std::begin(kSupportedExtensions), std::end(kSupportedExtensions),
                     [&name](const char* known) { return name == known; });
}

std::string SupportedExtensionNames() {
  std::string names;
  for (const char* known : kSupportedExtensions) names += (names.empty() ? "" : ", ") + std::string(known);
  return names;
}

}  // namespace gltf_conformance
