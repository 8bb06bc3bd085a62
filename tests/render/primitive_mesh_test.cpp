#include "render/primitive_mesh.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Vector At(const std::array<Float32, 3>& v) { return {v[0], v[1], v[2]}; }

// Every vertex normal points away from the centre: the mesh is closed and faces outward.
void ExpectOutwardNormals(const TriangleMesh& mesh, const Vector& centre) {
  for (size_t i = 0; i < mesh.positions.size(); ++i)
    EXPECT_GT(Dot(At(mesh.normals[i]), At(mesh.positions[i]) - centre), 0.0) << "vertex " << i;
}

TEST(PrimitiveMesh, ShapesHaveTheirSizesAndFaceOutward) {
  const TriangleMesh box = MakeBox(Vector(200.0, 100.0, 50.0));
  EXPECT_EQ(box.triangles.size(), 12u);
  for (const auto& p : box.positions) {
    EXPECT_FLOAT_EQ(std::abs(p[0]), 100.0f);
    EXPECT_FLOAT_EQ(std::abs(p[1]), 50.0f);
    EXPECT_FLOAT_EQ(std::abs(p[2]), 25.0f);
  }
  ExpectOutwardNormals(box, Vector());

  const TriangleMesh sphere = MakeSphere(30.0, 8);
  for (const auto& p : sphere.positions) EXPECT_NEAR(At(p).GetLength(), 30.0, 1e-4);
  ExpectOutwardNormals(sphere, Vector());

  const TriangleMesh cylinder = MakeCylinder(10.0, 40.0, 16);
  for (const auto& p : cylinder.positions) EXPECT_LE(std::abs(p[1]), 20.0f);
  for (const auto& t : cylinder.triangles)
    for (const UInt32 index : t) EXPECT_LT(index, cylinder.positions.size());
}

// Stretching a sphere into an ellipsoid must keep normals perpendicular to its surface, which
// transforming them like positions would not.
TEST(PrimitiveMesh, NormalsStayPerpendicularUnderNonUniformScale) {
  TriangleMesh mesh = MakeSphere(1.0, 16);
  const Matrix stretch(Vector(5.0, 0.0, 0.0), {4.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0});
  TransformMesh(mesh, stretch);
  for (size_t i = 0; i < mesh.positions.size(); ++i) {
    const Vector p = At(mesh.positions[i]) - Vector(5.0, 0.0, 0.0);
    // Gradient of the ellipsoid (x/4)^2 + y^2 + z^2 = 1.
    const Vector gradient = Vector(p.x / 16.0, p.y, p.z).GetNormalized();
    EXPECT_NEAR(Dot(At(mesh.normals[i]), gradient), 1.0, 1e-4) << "vertex " << i;
  }
}

}  // namespace
