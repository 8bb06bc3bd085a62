#include "gltf_builder.h"

#include "files_support.h"
#include "image/web_image.h"

#include <OpenImageIO/imageio.h>

#include <cstring>
#include <utility>

namespace {

// Appends `item` to the array and answers its index.
int Appended(nlohmann::json& array, nlohmann::json item) {
  array.push_back(std::move(item));
  return static_cast<int>(array.size()) - 1;
}

void Append32(std::vector<unsigned char>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

GltfBuilder::GltfBuilder() {
  gltf_ = {{"asset", {{"version", "2.0"}}}, {"scene", 0}, {"scenes", {{{"nodes", nlohmann::json::array()}}}}};
}

int GltfBuilder::View(const void* data, size_t bytes) {
  while (buffer_.size() % 4) buffer_.push_back(0);
  const size_t offset = buffer_.size();
  buffer_.resize(offset + bytes);
  std::memcpy(buffer_.data() + offset, data, bytes);
  return Appended(gltf_["bufferViews"], {{"buffer", 0}, {"byteOffset", offset}, {"byteLength", bytes}});
}

int GltfBuilder::Floats(const std::vector<float>& values, const char* type) {
  const std::string name = type;
  const size_t width = name == "SCALAR" ? 1 : name == "VEC2" ? 2 : name == "VEC3" ? 3 : 4;
  const int view = View(values.data(), values.size() * sizeof(float));
  return Appended(
      gltf_["accessors"],
      {{"bufferView", view}, {"componentType", 5126}, {"count", values.size() / width}, {"type", type}});
}

int GltfBuilder::Indices(const std::vector<uint16_t>& values) {
  const int view = View(values.data(), values.size() * sizeof(uint16_t));
  return Appended(
      gltf_["accessors"],
      {{"bufferView", view}, {"componentType", 5123}, {"count", values.size()}, {"type", "SCALAR"}});
}

int GltfBuilder::Material(float r, float g, float b, int texture) {
  nlohmann::json pbr = {{"baseColorFactor", {r, g, b, 1.0f}}, {"metallicFactor", 0.0}};
  if (texture >= 0) pbr["baseColorTexture"] = {{"index", texture}};
  return Appended(gltf_["materials"], {{"pbrMetallicRoughness", pbr}, {"doubleSided", true}});
}

int GltfBuilder::Texture(const std::string& uri, const nlohmann::json& sampler) {
  return Appended(gltf_["textures"], {{"source", Appended(gltf_["images"], {{"uri", uri}})},
                                      {"sampler", Appended(gltf_["samplers"], sampler)}});
}

int GltfBuilder::Mesh(const std::vector<float>& points, int material, const std::vector<float>& uvs,
                      const std::vector<uint16_t>& indices) {
  nlohmann::json primitive = {{"attributes", {{"POSITION", Floats(points, "VEC3")}}}};
  if (!uvs.empty()) primitive["attributes"]["TEXCOORD_0"] = Floats(uvs, "VEC2");
  if (!indices.empty()) primitive["indices"] = Indices(indices);
  if (material >= 0) primitive["material"] = material;
  return Appended(gltf_["meshes"], {{"primitives", {primitive}}});
}

int GltfBuilder::Square(const std::vector<float>& centre, float size, int normalAxis, int material,
                        bool withUvs) {
  const int a = (normalAxis + 1) % 3;
  const int b = (normalAxis + 2) % 3;
  std::vector<float> points;
  const float half = size * 0.5f;
  const float corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};
  for (const auto& corner : corners) {
    std::vector<float> p = centre;
    p[a] += corner[0];
    p[b] += corner[1];
    points.insert(points.end(), p.begin(), p.end());
  }
  const std::vector<float> uvs = withUvs ? std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1} : std::vector<float>{};
  return Mesh(points, material, uvs, {0, 1, 2, 0, 2, 3});
}

int GltfBuilder::Camera(double yfov, double aspect) {
  nlohmann::json perspective = {{"yfov", yfov}, {"znear", 0.01}};
  if (aspect > 0.0) perspective["aspectRatio"] = aspect;
  return Appended(gltf_["cameras"], {{"type", "perspective"}, {"perspective", perspective}});
}

int GltfBuilder::Light(const std::string& type, double intensity) {
  gltf_["extensionsUsed"] = {"KHR_lights_punctual"};
  return Appended(gltf_["extensions"]["KHR_lights_punctual"]["lights"],
                  {{"type", type}, {"intensity", intensity}});
}

int GltfBuilder::Node(const nlohmann::json& node, bool root) {
  const int index = Appended(gltf_["nodes"], node);
  if (root) gltf_["scenes"][0]["nodes"].push_back(index);
  return index;
}

void GltfBuilder::Animate(int node, const std::string& path, const std::vector<float>& times,
                          const std::vector<float>& values, const std::string& interpolation) {
  const int input = Floats(times, "SCALAR");
  const int output = Floats(values, path == "rotation" ? "VEC4" : "VEC3");
  auto& animations = gltf_["animations"];
  if (animations.empty())
    animations.push_back({{"samplers", nlohmann::json::array()}, {"channels", nlohmann::json::array()}});
  auto& animation = animations[0];
  animation["samplers"].push_back({{"input", input}, {"output", output}, {"interpolation", interpolation}});
  animation["channels"].push_back(
      {{"sampler", animation["samplers"].size() - 1}, {"target", {{"node", node}, {"path", path}}}});
}

std::string GltfBuilder::GltfText() {
  nlohmann::json copy = gltf_;
  if (!buffer_.empty())
    copy["buffers"] = {
        {{"byteLength", buffer_.size()}, {"uri", "data:application/octet-stream;base64," + Base64(buffer_)}}};
  return copy.dump();
}

std::vector<unsigned char> GltfBuilder::Glb() {
  nlohmann::json copy = gltf_;
  copy["buffers"] = {{{"byteLength", buffer_.size()}}};
  return GlbBytes(copy.dump(), buffer_);
}

std::vector<unsigned char> GlbBytes(std::string json, std::vector<unsigned char> bin) {
  while (json.size() % 4) json += ' ';
  while (bin.size() % 4) bin.push_back(0);
  const size_t binChunk = bin.empty() ? 0 : 8 + bin.size();
  std::vector<unsigned char> out;
  Append32(out, 0x46546C67);
  Append32(out, 2);
  Append32(out, static_cast<uint32_t>(12 + 8 + json.size() + binChunk));
  Append32(out, static_cast<uint32_t>(json.size()));
  Append32(out, 0x4E4F534A);
  out.insert(out.end(), json.begin(), json.end());
  if (bin.empty()) return out;
  Append32(out, static_cast<uint32_t>(bin.size()));
  Append32(out, 0x004E4942);
  out.insert(out.end(), bin.begin(), bin.end());
  return out;
}

std::string NestedGltfText(int depth) {
  return R"({"asset":{"version":"2.0"},"extras":)" + std::string(depth, '[') + std::string(depth, ']') + "}";
}

void GltfBuilder::WriteGltf(const std::string& path) { files::WriteText(path, GltfText()); }

void GltfBuilder::WriteGlb(const std::string& path) { files::WriteBytes(path, Glb()); }

void WriteQuadrantPng(const std::string& path) {
  const unsigned char pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  auto output = OIIO::ImageOutput::create(path);
  output->open(path, OIIO::ImageSpec(2, 2, 3, OIIO::TypeDesc::UINT8));
  output->write_image(OIIO::TypeDesc::UINT8, pixels);
  output->close();
}
