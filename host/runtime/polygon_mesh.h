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

// The geometry of a polygon object (Opolygon) in its own object space: triangles over points, with
// optional per-point normals and texture coordinates, a base colour and an optional base colour
// texture that multiplies it. Shared, never changed once attached: a render reads it from many
// threads.
struct PolygonMesh {
  std::vector<std::array<Float32, 3>> points;
  std::vector<std::array<UInt32, 3>> triangles;
  std::vector<std::array<Float32, 3>> normals;  // empty: flat normals per triangle
  std::vector<std::array<Float32, 2>> uvs;      // empty: no texture coordinates
  Vector colour{0.8, 0.8, 0.8};                 // linear RGB
  std::shared_ptr<const Texture> texture;       // null: the colour alone
};

// Attaches the mesh to a polygon object; false (nothing attached) for other objects or a mesh whose
// triangles name points it does not have.
bool SetPolygonMesh(BaseObject& object, std::shared_ptr<const PolygonMesh> mesh);

// The object's mesh, or null.
std::shared_ptr<const PolygonMesh> GetPolygonMesh(const BaseObject& object);
