#include "gltf_import.h"

#include "animation_frames.h"
#include "gltf_accessor.h"
#include "gltf_animation.h"
#include "gltf_conformance.h"
#include "gltf_convention.h"
#include "gltf_file.h"
#include "gltf_image.h"
#include "gltf_material.h"
#include "runtime/document_animation.h"
#include "runtime/object_params.h"
#include "runtime/polygon_mesh.h"
#include "runtime/surface_material.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <utility>

namespace {

constexpr Float kFilmWidth = 36.0;  // millimetres; the host camera's default film
constexpr Float kDefaultYfov = 0.8;
constexpr int kMaxDepth = 256;  // nested nodes; deeper files are refused

using gltf_animation::Pose;

std::string Element(const char* kind, size_t index) {
  return std::string(kind) + "[" + std::to_string(index) + "]";
}

template <typename T>
bool InRange(int index, const std::vector<T>& list) {
  return index >= 0 && static_cast<size_t>(index) < list.size();
}

bool AllFinite(const std::vector<double>& values) {
  for (const double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// One import: the model, the document and what has been made so far.
class Importer {
 public:
  Importer(const tinygltf::Model& model, BaseDocument* doc, GltfScene& scene,
           gltf_convention::LightUnits units)
      : model_(model),
        doc_(doc),
        scene_(scene),
        lightUnits_(units),
        objects_(model.nodes.size()),
        poses_(model.nodes.size()) {}

  bool Run(std::string& error);

 private:
  bool CheckHierarchy(const std::vector<int>& roots, std::string& error);
  bool AddNode(int index, BaseObject* parent, int depth, std::string& error);
  bool NodeTransform(int index, Matrix& local, std::string& error);
  bool AddMesh(int index, BaseObject& parent, std::string& error);
  bool AddPrimitive(const tinygltf::Primitive& primitive, const std::string& name, BaseObject& parent,
                    std::string& error);
  bool ReadMaterial(int index, PolygonMesh& mesh, std::string& error);
  std::shared_ptr<const MipTexture> TextureOf(int source, bool srgb, std::string& error);
  bool AddCamera(int nodeIndex, BaseObject& parent, std::string& error);
  bool AddLight(int nodeIndex, BaseObject& parent, std::string& error);
  bool AddAnimation(std::string& error);
  void NoteUnsupported();

  BaseObject* Insert(Int32 type, const std::string& name, BaseObject* parent);

  const tinygltf::Model& model_;
  BaseDocument* doc_;
  GltfScene& scene_;
  gltf_convention::LightUnits lightUnits_;
  std::vector<BaseObject*> objects_;                                            // per node
  std::vector<Pose> poses_;                                                     // per node: its rest pose
  std::map<std::pair<int, bool>, std::shared_ptr<const MipTexture>> textures_;  // per image and colour space
  std::set<std::string> unsupported_;  // what the file asks for that is not rendered
  BaseObject* lastRoot_ = nullptr;     // roots keep the file's order
};

BaseObject* Importer::Insert(Int32 type, const std::string& name, BaseObject* parent) {
  BaseObject* object = BaseObject::Alloc(type);
  if (!object) return nullptr;
  object->SetName(String(name));
  if (parent) {
    object->InsertUnderLast(parent);
  } else {
    doc_->InsertObject(object, nullptr, lastRoot_);
    lastRoot_ = object;
  }
  return object;
}

// The roots, their children and theirs: every index exists and every node has one parent at most,
// so the walk ends.
bool Importer::CheckHierarchy(const std::vector<int>& roots, std::string& error) {
  std::vector<int> parents(model_.nodes.size(), -1);
  for (size_t n = 0; n < model_.nodes.size(); ++n)
    for (const int child : model_.nodes[n].children) {
      if (!InRange(child, model_.nodes) || parents[child] >= 0 || child == static_cast<int>(n)) {
        error = Element("nodes", n) + ": child " + std::to_string(child) +
                " does not exist or already has a parent";
        return false;
      }
      parents[child] = static_cast<int>(n);
    }
  for (const int root : roots)
    if (!InRange(root, model_.nodes) || parents[root] >= 0) {
      error = "the scene's root node " + std::to_string(root) + " does not exist or has a parent";
      return false;
    }
  // Every node reached from a root has one parent, so a cycle can only hide among nodes no root
  // reaches, which are never walked.
  return true;
}

// The renderer places and traces in single precision: a placement beyond it (finite in the file, in
// metres, but not once in scene units) would trace nothing at all.
bool FitsRenderer(const Matrix& local, const std::string& name, std::string& error) {
  for (const Vector& v : {local.offset, local.axisX, local.axisY, local.axisZ})
    for (const Float c : {v.x, v.y, v.z})
      if (std::fabs(c) > std::numeric_limits<Float32>::max()) {
        char value[32];
        std::snprintf(value, sizeof(value), "%g", c);
        error = name + ": its transform holds " + value +
                " in scene units (centimetres), beyond the single precision the renderer computes in";
        return false;
      }
  return true;
}

bool Importer::NodeTransform(int index, Matrix& local, std::string& error) {
  const tinygltf::Node& node = model_.nodes[index];
  const std::string name = Element("nodes", index);
  if (!AllFinite(node.matrix) || !AllFinite(node.translation) || !AllFinite(node.rotation) ||
      !AllFinite(node.scale)) {
    error = name + ": its transform holds a number that is not finite";
    return false;
  }
  if (node.matrix.size() == 16) {
    std::array<double, 16> m;
    std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
    local = gltf_convention::NodeMatrix(m);
    return FitsRenderer(local, name, error);
  }
  if ((!node.matrix.empty()) || (!node.translation.empty() && node.translation.size() != 3) ||
      (!node.rotation.empty() && node.rotation.size() != 4) ||
      (!node.scale.empty() && node.scale.size() != 3)) {
    error = name + ": matrix, translation, rotation or scale has the wrong number of values";
    return false;
  }
  Pose& pose = poses_[index];
  if (!node.translation.empty())
    std::copy(node.translation.begin(), node.translation.end(), pose.translation.begin());
  if (!node.scale.empty()) std::copy(node.scale.begin(), node.scale.end(), pose.scale.begin());
  if (!node.rotation.empty()) {
    std::copy(node.rotation.begin(), node.rotation.end(), pose.rotation.begin());
    double length = 0.0;
    for (const double c : pose.rotation) length += c * c;
    length = std::sqrt(length);
    if (length < 1e-6) {
      scene_.warnings += name + ": rotation is a zero quaternion; no rotation used\n";
      pose.rotation = {0.0, 0.0, 0.0, 1.0};
    } else {
      for (double& c : pose.rotation) c /= length;
    }
  }
  if (pose.scale[0] == 0.0 || pose.scale[1] == 0.0 || pose.scale[2] == 0.0)
    scene_.warnings += name + ": a scale of 0 collapses the node and what it holds\n";
  local = gltf_convention::NodeMatrix(pose.translation, pose.rotation, pose.scale);
  return FitsRenderer(local, name, error);
}

bool Importer::AddNode(int index, BaseObject* parent, int depth, std::string& error) {
  const tinygltf::Node& node = model_.nodes[index];
  if (depth > kMaxDepth) {
    error =
        Element("nodes", index) + ": the hierarchy is deeper than " + std::to_string(kMaxDepth) + " levels";
    return false;
  }
  Matrix local;
  if (!NodeTransform(index, local, error)) return false;
  BaseObject* object = Insert(Onull, node.name.empty() ? Element("node", index) : node.name, parent);
  if (!object) {
    error = "out of memory";
    return false;
  }
  object->SetMl(local);
  objects_[index] = object;
  if (node.mesh >= 0 && !AddMesh(node.mesh, *object, error)) return false;
  if (node.camera >= 0 && !AddCamera(index, *object, error)) return false;
  if (!AddLight(index, *object, error)) return false;
  for (const int child : node.children)
    if (!AddNode(child, object, depth + 1, error)) return false;
  return true;
}

bool Importer::AddMesh(int index, BaseObject& parent, std::string& error) {
  if (!InRange(index, model_.meshes)) {
    error = "mesh " + std::to_string(index) + " does not exist";
    return false;
  }
  const tinygltf::Mesh& mesh = model_.meshes[index];
  for (size_t p = 0; p < mesh.primitives.size(); ++p) {
    const std::string name = Element("meshes", index) + ".primitives[" + std::to_string(p) + "]";
    if (!AddPrimitive(mesh.primitives[p], name, parent, error)) return false;
  }
  return true;
}

// Triangles over the primitive's points: its indices, or every three points in order.
bool ReadTriangles(const tinygltf::Model& model, const tinygltf::Primitive& primitive, size_t points,
                   std::vector<std::array<UInt32, 3>>& triangles, std::string& error) {
  std::vector<uint32_t> indices;
  if (primitive.indices >= 0) {
    if (!gltf_accessor::ReadIndices(model, primitive.indices, indices, error)) return false;
  } else {
    indices.resize(points);
    for (size_t i = 0; i < points; ++i) indices[i] = static_cast<uint32_t>(i);
  }
  if (indices.size() % 3 != 0) {
    error = std::to_string(indices.size()) + " indices do not make whole triangles";
    return false;
  }
  for (size_t i = 0; i < indices.size(); ++i)
    if (indices[i] >= points) {
      error = "index " + std::to_string(indices[i]) + " is outside its " + std::to_string(points) + " points";
      return false;
    }
  triangles.resize(indices.size() / 3);
  for (size_t t = 0; t < triangles.size(); ++t)
    triangles[t] = {indices[3 * t], indices[3 * t + 1], indices[3 * t + 2]};
  return true;
}

// COLOR_0's components: 3 for an RGB accessor, else 4.
int ColourComponents(const tinygltf::Model& model, const tinygltf::Primitive& primitive) {
  const auto found = primitive.attributes.find("COLOR_0");
  if (found == primitive.attributes.end() || found->second < 0 ||
      static_cast<size_t>(found->second) >= model.accessors.size())
    return 4;
  return model.accessors[found->second].type == TINYGLTF_TYPE_VEC3 ? 3 : 4;
}

// An attribute of the primitive with one value per point, or none.
bool ReadAttribute(const tinygltf::Model& model, const tinygltf::Primitive& primitive, const char* attribute,
                   int components, size_t points, std::vector<float>& values, std::string& error) {
  const auto found = primitive.attributes.find(attribute);
  if (found == primitive.attributes.end()) return true;
  if (!gltf_accessor::ReadFloats(model, found->second, components, values, error)) return false;
  if (values.size() != points * components) {
    error = std::string(attribute) + " has " + std::to_string(values.size() / components) + " values for " +
            std::to_string(points) + " points";
    return false;
  }
  return true;
}

bool Importer::AddPrimitive(const tinygltf::Primitive& primitive, const std::string& name, BaseObject& parent,
                            std::string& error) {
  constexpr int kTriangles = 4;
  if (primitive.mode != kTriangles && primitive.mode != -1) {
    scene_.warnings +=
        name + ": only triangles are rendered; mode " + std::to_string(primitive.mode) + " ignored\n";
    return true;
  }
  const auto position = primitive.attributes.find("POSITION");
  std::vector<float> points;
  std::vector<float> normals;
  std::vector<float> uvs;
  std::vector<float> uvs1;
  std::vector<float> colours;
  auto mesh = std::make_shared<PolygonMesh>();
  std::string problem = position == primitive.attributes.end() ? "has no POSITION" : "";
  if (problem.empty() && gltf_accessor::ReadFloats(model_, position->second, 3, points, problem) &&
      ReadAttribute(model_, primitive, "NORMAL", 3, points.size() / 3, normals, problem) &&
      ReadAttribute(model_, primitive, "TEXCOORD_0", 2, points.size() / 3, uvs, problem) &&
      ReadAttribute(model_, primitive, "TEXCOORD_1", 2, points.size() / 3, uvs1, problem) &&
      ReadAttribute(model_, primitive, "COLOR_0", ColourComponents(model_, primitive), points.size() / 3,
                    colours, problem) &&
      ReadTriangles(model_, primitive, points.size() / 3, mesh->triangles, problem) &&
      ReadMaterial(primitive.material, *mesh, problem)) {
    for (size_t i = 0; i < points.size(); i += 3) {
      const Vector p = gltf_convention::Point({points[i], points[i + 1], points[i + 2]});
      mesh->points.push_back({Float32(p.x), Float32(p.y), Float32(p.z)});
    }
    for (size_t i = 0; i < normals.size(); i += 3) {
      const Vector n =
          gltf_convention::Direction({normals[i], normals[i + 1], normals[i + 2]}).GetNormalized();
      mesh->normals.push_back({Float32(n.x), Float32(n.y), Float32(n.z)});
    }
    for (size_t i = 0; i < uvs.size(); i += 2) mesh->uvs.push_back({uvs[i], uvs[i + 1]});
    for (size_t i = 0; i < uvs1.size(); i += 2) mesh->uvs1.push_back({uvs1[i], uvs1[i + 1]});
    const size_t components = static_cast<size_t>(ColourComponents(model_, primitive));
    for (size_t i = 0; i < colours.size(); i += components)
      mesh->colours.push_back(
          {colours[i], colours[i + 1], colours[i + 2], components == 4 ? colours[i + 3] : 1.0f});
  }
  if (!problem.empty()) {
    error = name + ": " + problem;
    return false;
  }
  BaseObject* object = Insert(Opolygon, name, &parent);
  if (!object || !SetPolygonMesh(*object, std::move(mesh))) {
    error = name + ": cannot be attached";
    return false;
  }
  ++scene_.meshes;
  return true;
}

bool Importer::ReadMaterial(int index, PolygonMesh& mesh, std::string& error) {
  auto material = std::make_shared<SurfaceMaterial>();
  const gltf_material::ImageSource images = [this](int image, bool srgb, std::string& why) {
    return TextureOf(image, srgb, why);
  };
  if (!gltf_material::Read(model_, index, images, *material, unsupported_, error)) return false;
  mesh.colour = material->baseColour;
  mesh.material = std::move(material);
  return true;
}

std::shared_ptr<const MipTexture> Importer::TextureOf(int source, bool srgb, std::string& error) {
  const auto key = std::make_pair(source, srgb);
  if (auto found = textures_.find(key); found != textures_.end()) return found->second;
  const tinygltf::Image& image = model_.images[source];
  if (image.width <= 0 || image.height <= 0 || image.component != 4 || image.bits != 8 ||
      image.image.size() != static_cast<size_t>(image.width) * image.height * 4) {
    error = Element("images", source) + ": was not decoded";
    return nullptr;
  }
  auto texture = MakeMipTexture(gltf_image::ImageTexture(image.image, image.width, image.height, srgb));
  textures_[key] = texture;
  return texture;
}

bool Importer::AddCamera(int nodeIndex, BaseObject& parent, std::string& error) {
  const tinygltf::Node& node = model_.nodes[nodeIndex];
  if (!InRange(node.camera, model_.cameras)) {
    error = Element("nodes", nodeIndex) + ": camera " + std::to_string(node.camera) + " does not exist";
    return false;
  }
  const tinygltf::Camera& camera = model_.cameras[node.camera];
  const std::string name = Element("cameras", node.camera);
  Float yfov = camera.perspective.yfov;
  Float aspect = camera.perspective.aspectRatio;
  if (camera.type != "perspective") {
    scene_.warnings += name + ": only perspective cameras are known; rendered as a perspective camera\n";
    yfov = kDefaultYfov;
    aspect = 0.0;
  }
  if (!std::isfinite(yfov) || yfov <= 0.0 || yfov >= M_PI) {
    scene_.warnings += name + ": field of view out of range; " + std::to_string(kDefaultYfov) + " used\n";
    yfov = kDefaultYfov;
  }
  if (!std::isfinite(aspect) || aspect < 0.0 || aspect > 100.0) aspect = 0.0;
  std::string label = !node.name.empty()     ? node.name
                      : !camera.name.empty() ? camera.name
                                             : "camera " + std::to_string(scene_.cameras.size());
  BaseObject* object = Insert(Ocamera, label, &parent);
  if (!object) {
    error = "out of memory";
    return false;
  }
  object->GetDataInstance()->SetFloat(CAMERAOBJECT_APERTURE, kFilmWidth);
  object->GetDataInstance()->SetFloat(
      CAMERAOBJECT_FOCUS, gltf_convention::FocalLength(yfov, aspect > 0.0 ? aspect : 1.0, kFilmWidth));
  scene_.cameras.push_back({object, label, aspect});
  return true;
}

bool Importer::AddLight(int nodeIndex, BaseObject& parent, std::string& error) {
  const tinygltf::Node& node = model_.nodes[nodeIndex];
  const auto extension = node.extensions.find("KHR_lights_punctual");
  if (extension == node.extensions.end() || !extension->second.Has("light")) return true;
  const tinygltf::Value& reference = extension->second.Get("light");
  const int index = reference.IsNumber() || reference.IsInt() ? reference.GetNumberAsInt() : -1;
  if (!InRange(index, model_.lights)) {
    error = Element("nodes", nodeIndex) + ": light " + std::to_string(index) + " does not exist";
    return false;
  }
  const tinygltf::Light& light = model_.lights[index];
  const std::string name = Element("lights", index);
  const Int32 type = light.type == "directional" ? 0
                     : light.type == "point"     ? 1
                     : light.type == "spot"      ? 2
                                                 : -1;
  if (type < 0 || !std::isfinite(light.intensity) || light.intensity < 0.0) {
    scene_.warnings += name + ": unknown type or bad intensity; ignored\n";
    return true;
  }
  BaseObject* object = Insert(Olight, light.name.empty() ? name : light.name, &parent);
  if (!object) {
    error = "out of memory";
    return false;
  }
  BaseContainer& data = *object->GetDataInstance();
  Vector colour(1.0);
  if (light.color.size() == 3 && AllFinite(light.color))
    colour = Vector(light.color[0], light.color[1], light.color[2]);
  data.SetVector(LIGHT_COLOR, colour);
  data.SetInt32(LIGHT_TYPE, type);
  data.SetFloat(LIGHT_BRIGHTNESS, type == 0
                                      ? gltf_convention::DirectionalIrradiance(light.intensity, lightUnits_)
                                      : gltf_convention::PointIntensity(light.intensity, lightUnits_));
  // A range of 0 or less is no range; the extension leaves it out for none.
  if (type != 0 && std::isfinite(light.range) && light.range > 0.0)
    data.SetFloat(LIGHT_RANGE, light.range * gltf_convention::kSceneUnitsPerMetre);
  if (type == 2) {
    const Float outer = std::isfinite(light.spot.outerConeAngle)
                            ? std::clamp(light.spot.outerConeAngle, 1e-3, M_PI / 2)
                            : M_PI / 4;
    const Float inner =
        std::isfinite(light.spot.innerConeAngle) ? std::clamp(light.spot.innerConeAngle, 0.0, outer) : 0.0;
    data.SetFloat(LIGHT_SPOT_OUTER, outer);
    data.SetFloat(LIGHT_SPOT_INNER, inner);
  }
  return true;
}

bool Importer::AddAnimation(std::string& error) {
  auto animation = std::make_shared<gltf_animation::NodeAnimation>();
  if (!animation->Read(model_, objects_, poses_, scene_.warnings, error)) return false;
  if (animation->Empty()) return true;
  const Int32 fps = doc_->GetFps() > 0 ? doc_->GetFps() : 30;
  SetDocumentTimeRange(*doc_, BaseTime(0.0), BaseTime(LastKeyedFrame(animation->EndSeconds(), fps), fps));
  AddDocumentAnimation(*doc_, animation);
  scene_.animated = true;
  return true;
}

// One warning naming everything the file asks for that is not rendered.
void Importer::NoteUnsupported() {
  for (const std::string& name : model_.extensionsUsed)
    if (!gltf_conformance::IsSupportedExtension(name)) unsupported_.insert(name);
  if (!model_.skins.empty()) unsupported_.insert("skins");
  for (const auto& mesh : model_.meshes)
    for (const auto& primitive : mesh.primitives)
      if (!primitive.targets.empty()) unsupported_.insert("morph targets");
  if (unsupported_.empty()) return;
  std::string names;
  for (const std::string& name : unsupported_) names += (names.empty() ? "" : ", ") + name;
  scene_.warnings += "not rendered: " + names + "\n";
}

bool Importer::Run(std::string& error) {
  std::vector<int> roots;
  if (InRange(model_.defaultScene, model_.scenes)) {
    roots = model_.scenes[model_.defaultScene].nodes;
  } else if (!model_.scenes.empty()) {
    roots = model_.scenes[0].nodes;
  } else {
    std::vector<bool> child(model_.nodes.size(), false);
    for (const auto& node : model_.nodes)
      for (const int c : node.children)
        if (InRange(c, model_.nodes)) child[c] = true;
    for (size_t n = 0; n < model_.nodes.size(); ++n)
      if (!child[n]) roots.push_back(static_cast<int>(n));
  }
  if (!CheckHierarchy(roots, error)) return false;
  for (const int root : roots)
    if (!AddNode(root, nullptr, 0, error)) return false;
  if (!AddAnimation(error)) return false;
  NoteUnsupported();
  // Cameras alone look at the environment; a scene with neither is no scene to render.
  if (scene_.meshes == 0 && scene_.cameras.empty()) {
    error = "the scene holds no triangle mesh and no camera to render";
    return false;
  }
  return true;
}

}  // namespace

bool ImportGltf(const std::string& path, BaseDocument* doc, GltfScene& scene, std::string& error,
                gltf_convention::LightUnits lightUnits) {
  if (!doc) {
    error = "no document to import into";
    return false;
  }
  tinygltf::Model model;
  std::string warnings;
  if (!gltf_file::Load(path, model, warnings, error)) return false;
  Importer importer(model, doc, scene, lightUnits);
  if (!importer.Run(error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}
