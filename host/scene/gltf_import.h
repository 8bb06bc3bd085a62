#pragma once

#include "c4d.h"
#include "gltf_convention.h"

#include <string>
#include <vector>

// What a glTF scene brought into the document.
struct GltfScene {
  struct Camera {
    BaseObject* object = nullptr;  // an Ocamera placed by its node
    std::string name;              // the node's name, else the camera's, else "camera N"
    Float aspect = 0.0;            // width / height; 0 when the file gives none
  };
  std::vector<Camera> cameras;  // in the order of the nodes that hold them
  Int32 meshes = 0;             // polygon objects made
  bool animated = false;
  std::string warnings;  // one line each, naming the element
};

// Imports a .gltf or .glb file into the document: the default scene's node hierarchy as null
// objects carrying each node's transform, triangle primitives as polygon objects with their base
// colour and base colour texture, perspective cameras, KHR_lights_punctual lights (their intensities
// read in `lightUnits`), and node
// animation sampled whenever the document is evaluated (the document's time range becomes the
// animation's). Axes and units are converted as gltf_convention.h says. False with `error`
// naming the file and the element (e.g. "scene.gltf: accessors[3]: count is 0"); the document
// may then hold part of the scene.
bool ImportGltf(const std::string& path, BaseDocument* doc, GltfScene& scene, std::string& error,
                gltf_convention::LightUnits lightUnits = gltf_convention::LightUnits::Photometric);
