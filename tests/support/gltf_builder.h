#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

// Small glTF 2.0 files written by the tests themselves: one binary buffer, accessors over it, and
// the JSON around them, written as .gltf (buffer embedded as a data URI) or .glb.
class GltfBuilder {
 public:
  GltfBuilder();

  // A float accessor of `type` ("SCALAR", "VEC2", "VEC3", "VEC4") over its own buffer view.
  int Floats(const std::vector<float>& values, const char* type);
  int Indices(const std::vector<uint16_t>& values);
  // A matte (not metallic), double-sided material with a base colour and optionally a base colour
  // texture.
  int Material(float r, float g, float b, int texture = -1);
  // A texture whose image is the file `uri` (relative to the scene), read as `sampler` says (by
  // default its nearest texel).
  int Texture(const std::string& uri,
              const nlohmann::json& sampler = {{"magFilter", 9728}, {"minFilter", 9728}});
  // A mesh of one triangle primitive over points given in glTF metres.
  int Mesh(const std::vector<float>& points, int material = -1, const std::vector<float>& uvs = {},
           const std::vector<uint16_t>& indices = {});
  // A square of side `size` around `centre`, facing along `normalAxis` (0 x, 1 y, 2 z).
  int Square(const std::vector<float>& centre, float size, int normalAxis, int material = -1,
             bool withUvs = false);
  int Camera(double yfov, double aspect);
  int Light(const std::string& type, double intensity);
  // Adds a node; a root of the scene unless it is somebody's child.
  int Node(const nlohmann::json& node, bool root = true);
  // A channel animating `path` of `node` with the given keys.
  void Animate(int node, const std::string& path, const std::vector<float>& times,
               const std::vector<float>& values, const std::string& interpolation = "LINEAR");

  nlohmann::json& Json() { return gltf_; }
  std::vector<unsigned char>& Buffer() { return buffer_; }

  // The whole file as text, with the buffer embedded.
  std::string GltfText();
  std::vector<unsigned char> Glb();
  void WriteGltf(const std::string& path);
  void WriteGlb(const std::string& path);

 private:
  int View(const void* data, size_t bytes);
  nlohmann::json gltf_;
  std::vector<unsigned char> buffer_;
};

// A binary glTF file of the JSON text and the buffer (no binary chunk when it is empty).
std::vector<unsigned char> GlbBytes(std::string json, std::vector<unsigned char> bin = {});

// A glTF file whose `extras` nest arrays `depth` levels deep.
std::string NestedGltfText(int depth);

// Writes a 2 x 2 RGB PNG: red, green on the top row; blue, white below.
void WriteQuadrantPng(const std::string& path);
