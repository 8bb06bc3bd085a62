#include "gltf_builder.h"

#include <OpenImageIO/imageio.h>

#include <cstring>
#include <fstream>

namespace {

std::string Base64(const std::vector<unsigned char>& bytes) {
  static const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const uint32_t a = bytes[i];
    const uint32_t b = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    const uint32_t c = i + 2 < bytes.size() ? bytes[i + 2] : 0;
    const uint32_t triple = (a << 16) | (b << 8) | c;
    text += kAlphabet[(triple >> 18) & 63];
    text += kAlphabet[(triple >> 12) & 63];
    text += i + 1 < bytes.size() ? kAlphabet[(triple >> 6) & 63] : '=';
    text += i + 2 < bytes.size() ? kAlphabet[triple & 63] : '=';
  }
  return text;
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
  gltf_["bufferViews"].push_back({{"buffer", 0}, {"byteOffset", offset}, {"byteLength", bytes}});
  return static_cast<int>(gltf_["bufferViews"].size()) - 1;
}

int GltfBuilder::Floats(const std::vector<float>& values, const char* type) {
  const std::string name = type;
  const size_t width = name == "SCALAR" ? 1 : name == "VEC2" ? 2 : name == "VEC3" ? 3 : 4;
  const int view = View(values.data(), values.size() * sizeof(float));
  gltf_["accessors"].push_back(
      {{"bufferView", view}, {"componentType", 5126}, {"count", values.size() / width}, {"type", type}});
  return static_cast<int>(gltf_["accessors"].size()) - 1;
}

int GltfBuilder::Indices(const std::vector<uint16_t>& values) {
  const int view = View(values.data(), values.size() * sizeof(uint16_t));
  gltf_["accessors"].push_back(
      {{"bufferView", view}, {"componentType", 5123}, {"count", values.size()}, {"type", "SCALAR"}});
  return static_cast<int>(gltf_["accessors"].size()) - 1;
}

int GltfBuilder::Material(float r, float g, float b, int texture) {
  nlohmann::json pbr = {{"baseColorFactor", {r, g, b, 1.0f}}};
  if (texture >= 0) pbr["baseColorTexture"] = {{"index", texture}};
  gltf_["materials"].push_back({{"pbrMetallicRoughness", pbr}});
  return static_cast<int>(gltf_["materials"].size()) - 1;
}

int GltfBuilder::Texture(const std::string& uri) {
  gltf_["images"].push_back({{"uri", uri}});
  gltf_["textures"].push_back({{"source", gltf_["images"].size() - 1}});
  return static_cast<int>(gltf_["textures"].size()) - 1;
}

int GltfBuilder::Mesh(const std::vector<float>& points, int material, const std::vector<float>& uvs,
                      const std::vector<uint16_t>& indices) {
  nlohmann::json primitive = {{"attributes", {{"POSITION", Floats(points, "VEC3")}}}};
  if (!uvs.empty()) primitive["attributes"]["TEXCOORD_0"] = Floats(uvs, "VEC2");
  if (!indices.empty()) primitive["indices"] = Indices(indices);
  if (material >= 0) primitive["material"] = material;
  gltf_["meshes"].push_back({{"primitives", {primitive}}});
  return static_cast<int>(gltf_["meshes"].size()) - 1;
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
  gltf_["cameras"].push_back({{"type", "perspective"}, {"perspective", perspective}});
  return static_cast<int>(gltf_["cameras"].size()) - 1;
}

int GltfBuilder::Light(const std::string& type, double intensity) {
  auto& lights = gltf_["extensions"]["KHR_lights_punctual"]["lights"];
  lights.push_back({{"type", type}, {"intensity", intensity}});
  gltf_["extensionsUsed"] = {"KHR_lights_punctual"};
  return static_cast<int>(lights.size()) - 1;
}

int GltfBuilder::Node(const nlohmann::json& node, bool root) {
  gltf_["nodes"].push_back(node);
  const int index = static_cast<int>(gltf_["nodes"].size()) - 1;
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

void GltfBuilder::WriteGltf(const std::string& path) { std::ofstream(path) << GltfText(); }

void GltfBuilder::WriteGlb(const std::string& path) {
  const std::vector<unsigned char> bytes = Glb();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void WriteQuadrantPng(const std::string& path) {
  const unsigned char pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  auto output = OIIO::ImageOutput::create(path);
  output->open(path, OIIO::ImageSpec(2, 2, 3, OIIO::TypeDesc::UINT8));
  output->write_image(OIIO::TypeDesc::UINT8, pixels);
  output->close();
}
