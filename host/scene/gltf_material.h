#pragma once

#include "runtime/surface_material.h"
#include "tiny_gltf_config.h"

#include <functional>
#include <memory>
#include <set>
#include <string>

// glTF materials as the renderer shades them: the metallic-roughness model with its textures (each
// read as its sampler and KHR_texture_transform say), emission (with KHR_materials_emissive_strength),
// normal and occlusion maps, alpha modes and double-sidedness. Every reference and number is checked;
// errors name the element ("materials[2]: ...").
namespace gltf_material {

// A texture's image as the renderer reads it, made once per image and colour space: `srgb` for
// colour (base colour, emission), linear for data (metallic-roughness, normals, occlusion). Null
// with `error` when the image cannot be used.
using ImageSource =
    std::function<std::shared_ptr<const MipTexture>(int image, bool srgb, std::string& error)>;

// Reads materials[index] (or glTF's default material for index -1) into `material`; what the file
// asks for that is not rendered goes into `unsupported` (one name each).
bool Read(const tinygltf::Model& model, int index, const ImageSource& images, SurfaceMaterial& material,
          std::set<std::string>& unsupported, std::string& error);

}  // namespace gltf_material
