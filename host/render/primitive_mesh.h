#pragma once

#include "c4d.h"

#include <array>
#include <vector>

// A triangle mesh with one normal per vertex, as Embree takes it (single precision).
struct TriangleMesh {
  std::vector<std::array<Float32, 3>> positions;
  std::vector<std::array<Float32, 3>> normals;
  std::vector<std::array<UInt32, 3>> triangles;
};

// The built-in primitives in their own object space, shaped as the host's objects are.
TriangleMesh MakeBox(const Vector& size);
TriangleMesh MakeSphere(Float radius, Int32 rings = 32);
// Lies in the XZ plane facing +Y.
TriangleMesh MakePlane(Float width, Float depth);
// Axis along Y, centred on the origin, with both caps.
TriangleMesh MakeCylinder(Float radius, Float height, Int32 segments = 64);

// Moves the mesh into the world by an object's global matrix; normals follow the inverse transpose.
void TransformMesh(TriangleMesh& mesh, const Matrix& matrix);
