#pragma once

#include "c4d.h"
#include "module_reading/camera_kinds.h"
#include "scene/gltf_convention.h"

#include <string>

// A render of a glTF scene file: the scene imported and the module's camera of the chosen kind
// riding on one of its cameras.
struct GltfRenderCamera {
  BaseObject* camera = nullptr;  // the tagged camera the render looks through
  Float aspect = 0.0;            // the scene camera's width / height; 0 when it gives none
};

// Imports `path` into `doc` (warnings to stderr) and puts a camera of `kind` on the scene camera
// `choice` names (its name, or its index among the scene's cameras; empty: the first, or a camera
// at the origin looking along +Z when the scene has none), its lights read in `lightUnits`. False
// with one clear `error`.
bool PrepareGltfScene(const std::string& path, const std::string& choice, const CameraKindInfo& kind,
                      BaseDocument* doc, GltfRenderCamera& result, std::string& error,
                      gltf_convention::LightUnits lightUnits = gltf_convention::LightUnits::Photometric);
