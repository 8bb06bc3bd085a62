#pragma once

#include "tiny_gltf_config.h"

#include <string>

// What the glTF 2.0 format requires and the parser lets pass, checked once a file has loaded so that
// a file breaking the format is refused instead of imported as something else: the asset's major
// version is 2, every required extension is one the importer implements, the default scene exists,
// positions are floats, and every node field has the type the format gives it (a field of
// the wrong type would otherwise be dropped, and with it a mesh, a camera or a whole branch).
namespace gltf_conformance {

// The extensions the importer implements, as a file's "extensionsRequired" may name them.
inline constexpr const char* kSupportedExtensions[] = {"KHR_lights_punctual", "KHR_texture_transform",
                                                       "KHR_materials_emissive_strength"};

// Whether the importer reads the extension `name`.
bool IsSupportedExtension(const std::string& name);

// The supported extensions, joined by ", ".
std::string SupportedExtensionNames();

// `json` is the file's JSON text (a binary file's JSON chunk). False with `error` naming the element.
bool Check(const std::string& json, const tinygltf::Model& model, std::string& error);

}  // namespace gltf_conformance
