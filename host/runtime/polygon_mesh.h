#pragma once

#include "c4d.h"

#include <array>
#include <memory>
#include <vector>

// An RGBA image in linear colour, as a surface samples it.
struct Texture {
  Int32 width = 0;
  Int32 height = 0;
  std::vector<std::array<Float32, 4>> texels;  // rows top to bottom
};

struct SurfaceMaterial;

// The geometry of a polygon object (Opolygon) in its own object space: triangles over points, with
// optional per-point normals, two texture coordinate sets and colours, a base colour (what a flat
// view shows) and an optional material (glTF's model) that decides how a render shades it. Shared,
// never changed once attached: a render reads it from many threads.
struct PolygonMesh {
  std::vector<std::array<Float32, 3>> points;
  std::vector<std::array<UInt32, 3>> triangles;
  std::vector<std::array<Float32, 3>> normals;      // empty: flat normals per triangle
  std::vector<std::array<Float32, 2>> uvs;          // empty: no texture coordinates
  std::vector<std::array<Float32, 2>> uvs1;         // the second set; empty: none
  std::vector<std::array<Float32, 4>> colours;      // linear RGBA per point; empty: white
  Vector colour{0.8, 0.8, 0.8};                     // linear RGB
  std::shared_ptr<const SurfaceMaterial> material;  // null: a matte surface of the colour
};

// Attaches the mesh to a polygon object; false (nothing attached) for other objects or a mesh whose
// triangles name points it does not have.
bool SetPolygonMesh(BaseObject& object, std::shared_ptr<const PolygonMesh> mesh);

// The object's mesh, or null.
std::shared_ptr<const PolygonMesh> GetPolygonMesh(const BaseObject& object);
