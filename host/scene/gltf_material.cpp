#include "gltf_material.h"

#include "gltf_conformance.h"

#include <algorithm>
#include <cmath>

namespace gltf_material {
namespace {

// glTF's sampler enumerations (OpenGL's numbers).
constexpr int kNearest = 9728;
constexpr int kNearestMipmapNearest = 9984;
constexpr int kLinearMipmapNearest = 9985;
constexpr int kNearestMipmapLinear = 9986;
constexpr int kLinearMipmapLinear = 9987;
constexpr int kClampToEdge = 33071;
constexpr int kMirroredRepeat = 33648;

using Wrap = TextureSlot::Wrap;
using Filter = TextureSlot::Filter;

std::string Element(const char* kind, int index) {
  return std::string(kind) + "[" + std::to_string(index) + "]";
}

template <typename T>
bool InRange(int index, const std::vector<T>& items) {
  return index >= 0 && static_cast<size_t>(index) < items.size();
}

bool Finite(const std::vector<double>& values, size_t count) {
  return values.size() == count &&
         std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

Wrap WrapOf(int mode) {
  return mode == kClampToEdge      ? Wrap::ClampToEdge
         : mode == kMirroredRepeat ? Wrap::MirroredRepeat
                                   : Wrap::Repeat;
}

void ApplySampler(const tinygltf::Sampler& sampler, TextureSlot& slot) {
  slot.wrapS = WrapOf(sampler.wrapS);
  slot.wrapT = WrapOf(sampler.wrapT);
  slot.magnify = sampler.magFilter == kNearest ? Filter::Nearest : Filter::Linear;
  // No minification filter given: the smooth one, with mipmaps.
  const int min = sampler.minFilter;
  slot.minify = min == kNearest || min == kNearestMipmapNearest || min == kNearestMipmapLinear
                    ? Filter::Nearest
                    : Filter::Linear;
  slot.mipmaps = min < 0 || min == kNearestMipmapNearest || min == kLinearMipmapNearest ||
                 min == kNearestMipmapLinear || min == kLinearMipmapLinear;
}

Float Number(const tinygltf::Value& value, Float fallback) {
  return value.IsNumber() || value.IsInt() ? value.GetNumberAsDouble() : fallback;
}

// KHR_texture_transform on a texture reference: offset, rotation, scale and a texture coordinate
// set of its own.
bool ApplyTransform(const tinygltf::ExtensionMap& extensions, TextureSlot& slot, std::string& error) {
  const auto found = extensions.find("KHR_texture_transform");
  if (found == extensions.end()) return true;
  const tinygltf::Value& transform = found->second;
  const auto pair = [&transform](const char* key, Float* out) {
    if (!transform.Has(key)) return true;
    const tinygltf::Value& value = transform.Get(key);
    if (!value.IsArray() || value.ArrayLen() != 2) return false;
    for (int i = 0; i < 2; ++i) out[i] = Number(value.Get(i), out[i]);
    return std::isfinite(out[0]) && std::isfinite(out[1]);
  };
  slot.rotation = transform.Has("rotation") ? Number(transform.Get("rotation"), 0.0) : 0.0;
  if (!pair("offset", slot.offset) || !pair("scale", slot.scale) || !std::isfinite(slot.rotation)) {
    error = "KHR_texture_transform: offset and scale take two finite numbers, rotation one";
    return false;
  }
  if (transform.Has("texCoord")) slot.texCoord = static_cast<Int32>(Number(transform.Get("texCoord"), 0));
  slot.transformed = true;
  return true;
}

struct Reader {
  const tinygltf::Model& model;
  const ImageSource& images;
  std::set<std::string>& unsupported;
  std::string& error;

  // A texture reference: the texture, its image in the colour space asked for, its sampler.
  bool Slot(int textureIndex, int texCoord, const tinygltf::ExtensionMap& extensions, bool srgb,
            const char* what, TextureSlot& slot) {
    if (textureIndex < 0) return true;
    if (!InRange(textureIndex, model.textures)) {
      error = std::string(what) + ": texture " + std::to_string(textureIndex) + " does not exist";
      return false;
    }
    const tinygltf::Texture& texture = model.textures[textureIndex];
    if (texture.sampler >= 0 && !InRange(texture.sampler, model.samplers)) {
      error = Element("textures", textureIndex) + ": sampler " + std::to_string(texture.sampler) +
              " does not exist";
      return false;
    }
    if (!InRange(texture.source, model.images)) {
      error =
          Element("textures", textureIndex) + ": image " + std::to_string(texture.source) + " does not exist";
      return false;
    }
    slot.texture = images(texture.source, srgb, error);
    if (!slot.texture) return false;
    if (texture.sampler >= 0) ApplySampler(model.samplers[texture.sampler], slot);
    slot.texCoord = texCoord;
    if (!ApplyTransform(extensions, slot, error)) {
      error = std::string(what) + ": " + error;
      return false;
    }
    if (slot.texCoord < 0 || slot.texCoord > 1) {
      unsupported.insert("texture coordinate sets beyond 1");
      slot.texCoord = 0;
    }
    return true;
  }
};

Float EmissiveStrength(const tinygltf::Material& material) {
  const auto found = material.extensions.find("KHR_materials_emissive_strength");
  if (found == material.extensions.end() || !found->second.Has("emissiveStrength")) return 1.0;
  return Number(found->second.Get("emissiveStrength"), 1.0);
}

bool ReadFactors(const tinygltf::Material& source, SurfaceMaterial& material, std::string& error) {
  const auto& pbr = source.pbrMetallicRoughness;
  const Float strength = EmissiveStrength(source);
  if (!Finite(pbr.baseColorFactor, 4) || !Finite(source.emissiveFactor, 3) ||
      !std::isfinite(pbr.metallicFactor) || !std::isfinite(pbr.roughnessFactor) ||
      !std::isfinite(source.alphaCutoff) || !std::isfinite(strength) || strength < 0.0) {
    error = "a factor, the alpha cutoff or the emissive strength is not a finite number of its kind";
    return false;
  }
  material.baseColour = Vector(pbr.baseColorFactor[0], pbr.baseColorFactor[1], pbr.baseColorFactor[2]);
  material.baseAlpha = pbr.baseColorFactor[3];
  material.metallic = pbr.metallicFactor;
  material.roughness = pbr.roughnessFactor;
  material.emissive =
      Vector(source.emissiveFactor[0], source.emissiveFactor[1], source.emissiveFactor[2]) * strength;
  material.alphaMode = source.alphaMode == "MASK"    ? SurfaceMaterial::AlphaMode::Mask
                       : source.alphaMode == "BLEND" ? SurfaceMaterial::AlphaMode::Blend
                                                     : SurfaceMaterial::AlphaMode::Opaque;
  material.alphaCutoff = source.alphaCutoff;
  material.doubleSided = source.doubleSided;
  material.normalScale = source.normalTexture.scale;
  material.occlusionStrength = std::clamp(source.occlusionTexture.strength, 0.0, 1.0);
  if (!std::isfinite(material.normalScale)) material.normalScale = 1.0;
  return true;
}

void NoteUnsupported(const tinygltf::Material& source, std::set<std::string>& unsupported) {
  for (const auto& [name, value] : source.extensions)
    if (!gltf_conformance::IsSupportedExtension(name)) unsupported.insert(name);
}

}  // namespace

bool Read(const tinygltf::Model& model, int index, const ImageSource& images, SurfaceMaterial& material,
          std::set<std::string>& unsupported, std::string& error) {
  material = SurfaceMaterial();
  if (index < 0) return true;  // glTF's default material: white, metallic and rough
  if (!InRange(index, model.materials)) {
    error = "material " + std::to_string(index) + " does not exist";
    return false;
  }
  const tinygltf::Material& source = model.materials[index];
  const std::string name = Element("materials", index);
  Reader reader{model, images, unsupported, error};
  const auto& pbr = source.pbrMetallicRoughness;
  const bool read =
      ReadFactors(source, material, error) &&
      reader.Slot(pbr.baseColorTexture.index, pbr.baseColorTexture.texCoord, pbr.baseColorTexture.extensions,
                  true, "baseColorTexture", material.baseColourTexture) &&
      reader.Slot(pbr.metallicRoughnessTexture.index, pbr.metallicRoughnessTexture.texCoord,
                  pbr.metallicRoughnessTexture.extensions, false, "metallicRoughnessTexture",
                  material.metallicRoughnessTexture) &&
      reader.Slot(source.emissiveTexture.index, source.emissiveTexture.texCoord,
                  source.emissiveTexture.extensions, true, "emissiveTexture", material.emissiveTexture) &&
      reader.Slot(source.normalTexture.index, source.normalTexture.texCoord, source.normalTexture.extensions,
                  false, "normalTexture", material.normalTexture) &&
      reader.Slot(source.occlusionTexture.index, source.occlusionTexture.texCoord,
                  source.occlusionTexture.extensions, false, "occlusionTexture", material.occlusionTexture);
  if (!read) {
    error = name + ": " + error;
    return false;
  }
  NoteUnsupported(source, unsupported);
  return true;
}

}  // namespace gltf_material
