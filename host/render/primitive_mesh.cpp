#include "primitive_mesh.h"

#include <numbers>

#include <cmath>

namespace {

std::array<Float32, 3> ToFloat(const Vector& v) {
  return {static_cast<Float32>(v.x), static_cast<Float32>(v.y), static_cast<Float32>(v.z)};
}

Vector ToVector(const std::array<Float32, 3>& v) { return {v[0], v[1], v[2]}; }

UInt32 AddVertex(TriangleMesh& mesh, const Vector& position, const Vector& normal) {
  mesh.positions.push_back(ToFloat(position));
  mesh.normals.push_back(ToFloat(normal));
  return static_cast<UInt32>(mesh.positions.size() - 1);
}

// A flat quad of four corners given counter-clockwise, all sharing one normal.
void AddQuad(TriangleMesh& mesh, const std::array<Vector, 4>& corners, const Vector& normal) {
  const UInt32 first = AddVertex(mesh, corners[0], normal);
  for (size_t i = 1; i < corners.size(); ++i) AddVertex(mesh, corners[i], normal);
  mesh.triangles.push_back({first, first + 1, first + 2});
  mesh.triangles.push_back({first, first + 2, first + 3});
}

// A flat disc at height y facing `normal`, as a fan around its centre.
void AddDisc(TriangleMesh& mesh, Float radius, Float y, const Vector& normal, Int32 segments) {
  const UInt32 centre = AddVertex(mesh, Vector(0.0, y, 0.0), normal);
  for (Int32 i = 0; i <= segments; ++i) {
    const Float angle = (2.0 * std::numbers::pi) * i / segments;
    AddVertex(mesh, Vector(radius * std::cos(angle), y, radius * std::sin(angle)), normal);
  }
  for (Int32 i = 0; i < segments; ++i)
    mesh.triangles.push_back(
        {centre, centre + 1 + static_cast<UInt32>(i), centre + 2 + static_cast<UInt32>(i)});
}

Vector AxisVector(int axis, Float value) {
  Vector v;
  if (axis == 0) {
    v.x = value;
  } else if (axis == 1) {
    v.y = value;
  } else {
    v.z = value;
  }
  return v;
}

}  // namespace

TriangleMesh MakeBox(const Vector& size) {
  TriangleMesh mesh;
  const Vector half = size * 0.5;
  const auto scaled = [&half](const Vector& v) { return Vector(v.x * half.x, v.y * half.y, v.z * half.z); };
  for (int axis = 0; axis < 3; ++axis) {
    for (const Float side : {-1.0, 1.0}) {
      // The face's normal and the two axes that span it.
      const Vector n = AxisVector(axis, side);
      const Vector centre = scaled(n);
      const Vector a = scaled(AxisVector((axis + 1) % 3, 1.0));
      const Vector b = scaled(AxisVector((axis + 2) % 3, 1.0));
      AddQuad(mesh, {centre - a - b, centre + a - b, centre + a + b, centre - a + b}, n);
    }
  }
  return mesh;
}

TriangleMesh MakeSphere(Float radius, Int32 rings) {
  TriangleMesh mesh;
  const Int32 segments = rings * 2;
  for (Int32 ring = 0; ring <= rings; ++ring) {
    const Float polar = std::numbers::pi * ring / rings;
    for (Int32 segment = 0; segment <= segments; ++segment) {
      const Float azimuth = (2.0 * std::numbers::pi) * segment / segments;
      const Vector n(std::sin(polar) * std::cos(azimuth), std::cos(polar),
                     std::sin(polar) * std::sin(azimuth));
      AddVertex(mesh, n * radius, n);
    }
  }
  const UInt32 stride = static_cast<UInt32>(segments + 1);
  for (UInt32 ring = 0; ring < static_cast<UInt32>(rings); ++ring) {
    for (UInt32 segment = 0; segment < static_cast<UInt32>(segments); ++segment) {
      const UInt32 a = ring * stride + segment;
      const UInt32 b = a + stride;
      mesh.triangles.push_back({a, b, a + 1});
      mesh.triangles.push_back({a + 1, b, b + 1});
    }
  }
  return mesh;
}

TriangleMesh MakePlane(Float width, Float depth) {
  TriangleMesh mesh;
  const Float x = width * 0.5;
  const Float z = depth * 0.5;
  AddQuad(mesh, {Vector(-x, 0.0, -z), Vector(x, 0.0, -z), Vector(x, 0.0, z), Vector(-x, 0.0, z)},
          Vector(0.0, 1.0, 0.0));
  return mesh;
}

TriangleMesh MakeCylinder(Float radius, Float height, Int32 segments) {
  TriangleMesh mesh;
  const Float top = height * 0.5;
  for (Int32 i = 0; i <= segments; ++i) {
    const Float angle = (2.0 * std::numbers::pi) * i / segments;
    const Vector n(std::cos(angle), 0.0, std::sin(angle));
    AddVertex(mesh, Vector(n.x * radius, -top, n.z * radius), n);
    AddVertex(mesh, Vector(n.x * radius, top, n.z * radius), n);
  }
  for (UInt32 i = 0; i < static_cast<UInt32>(segments); ++i) {
    const UInt32 a = 2 * i;
    mesh.triangles.push_back({a, a + 1, a + 2});
    mesh.triangles.push_back({a + 1, a + 3, a + 2});
  }
  AddDisc(mesh, radius, top, Vector(0.0, 1.0, 0.0), segments);
  AddDisc(mesh, radius, -top, Vector(0.0, -1.0, 0.0), segments);
  return mesh;
}

void TransformMesh(TriangleMesh& mesh, const Matrix& matrix) {
  // Rows of the inverse transpose, up to the determinant's scale that normalising removes.
  const Vector nx = Cross(matrix.axisY, matrix.axisZ);
  const Vector ny = Cross(matrix.axisZ, matrix.axisX);
  const Vector nz = Cross(matrix.axisX, matrix.axisY);
  const Float sign = Dot(matrix.axisX, nx) < 0.0 ? -1.0 : 1.0;
  for (auto& position : mesh.positions) position = ToFloat(matrix.TransformPoint(ToVector(position)));
  for (auto& normal : mesh.normals) {
    const Vector n = ToVector(normal);
    normal = ToFloat(((nx * n.x + ny * n.y + nz * n.z) * sign).GetNormalized());
  }
}
