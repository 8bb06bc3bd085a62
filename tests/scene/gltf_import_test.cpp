#include "gltf_builder.h"
#include "render_test_support.h"

#include "scene/gltf_animation.h"
#include "scene/gltf_import.h"
#include "scene/object_params.h"
#include "scene/scene_library.h"

#include <gtest/gtest.h>

#include <cmath>

// The importer's conversions, hierarchy, cameras, animation, textures and lights, checked on
// scenes the tests write.

namespace {

using render_test::TempFolder;

// A document holding an imported file; fails the test when the import fails.
struct Imported {
  BaseDocument* doc = scene_library::NewDocument();
  GltfScene scene;
  std::string error;
  explicit Imported(const std::string& path) { EXPECT_TRUE(ImportGltf(path, doc, scene, error)) << error; }
  ~Imported() { BaseDocument::Free(doc); }
  // Renders the document's camera to a square of `size` pixels.
  FloatImage Render(Int32 size) {
    doc->GetActiveRenderData()->GetDataInstance()->SetFloat(RDATA_XRES, size);
    doc->GetActiveRenderData()->GetDataInstance()->SetFloat(RDATA_YRES, size);
    return render_test::RenderFrame(doc, RenderOptions());
  }
};

void ExpectNear(const Vector& actual, const Vector& expected, Float tolerance) {
  EXPECT_LT((actual - expected).GetLength(), tolerance) << actual.x << ", " << actual.y << ", " << actual.z;
}

// Z mirrored and metres turned into scene units, for .glb and .gltf alike: rendered in
// gltf_render_test.cpp and measured by the comfort report (a wall 1 m ahead stands 100 units ahead).
TEST(GltfImport, ACameraNodeComposesWithItsParentAndKeepsLookingWhereItLooked) {
  TempFolder folder;
  GltfBuilder builder;
  builder.Node({{"mesh", builder.Mesh({0, 0, -5, 1, 0, -5, 0, 1, -5})}});
  const int camera = builder.Node(
      {{"name", "Eye"}, {"camera", builder.Camera(0.9, 16.0 / 9.0)}, {"translation", {0, 0, -2}}}, false);
  const Float half = 0.25 * M_PI;  // the parent turns 90 degrees about +Y
  builder.Node({{"translation", {10, 1, 0}},
                {"rotation", {0, std::sin(half), 0, std::cos(half)}},
                {"children", {camera}}});
  builder.WriteGltf(folder.File("c.gltf"));
  Imported imported(folder.File("c.gltf"));
  ASSERT_EQ(imported.scene.cameras.size(), 1u);
  const GltfScene::Camera& eye = imported.scene.cameras[0];
  EXPECT_EQ(eye.name, "Eye");
  EXPECT_NEAR(eye.aspect, 16.0 / 9.0, 1e-9);
  // In glTF the camera stands at (10,1,0) + R(0,0,-2) = (8,1,0) and looks along R(0,0,-1) = (-1,0,0).
  const Matrix world = eye.object->GetMg();
  ExpectNear(world.offset, Vector(800, 100, 0), 1e-6);
  ExpectNear(world.axisZ, Vector(-1, 0, 0), 1e-9);
  ExpectNear(world.axisY, Vector(0, 1, 0), 1e-9);
  const Float focus = eye.object->GetDataInstance()->GetFloat(CAMERAOBJECT_FOCUS);
  const Float aperture = eye.object->GetDataInstance()->GetFloat(CAMERAOBJECT_APERTURE);
  // The horizontal field of view the file implies.
  EXPECT_NEAR(2.0 * std::atan(aperture * 0.5 / focus), 2.0 * std::atan(16.0 / 9.0 * std::tan(0.45)), 1e-9);
}

TEST(GltfAnimation, SamplesLinearStepCubicAndRotationKeys) {
  using gltf_animation::Channel;
  gltf_animation::Pose pose;
  Channel linear{
      gltf_animation::Path::Translation, gltf_animation::Interpolation::Linear, {1, 3}, {0, 0, 0, 4, 8, -2}};
  gltf_animation::Sample(linear, 2.0, pose);
  EXPECT_NEAR(pose.translation[0], 2.0, 1e-6);
  EXPECT_NEAR(pose.translation[2], -1.0, 1e-6);
  gltf_animation::Sample(linear, 0.0, pose);  // before the first key: the first
  EXPECT_NEAR(pose.translation[1], 0.0, 1e-6);
  gltf_animation::Sample(linear, 9.0, pose);  // after the last: the last
  EXPECT_NEAR(pose.translation[1], 8.0, 1e-6);

  Channel step = linear;
  step.interpolation = gltf_animation::Interpolation::Step;
  gltf_animation::Sample(step, 2.9, pose);
  EXPECT_NEAR(pose.translation[0], 0.0, 1e-6);

  // In-tangent, value, out-tangent per key; a slope of 2 per second leaving 0 and arriving at 4.
  Channel cubic{gltf_animation::Path::Scale,
                gltf_animation::Interpolation::CubicSpline,
                {0, 2},
                {0, 0, 0, 0, 0, 0, 2, 2, 2, 2, 2, 2, 4, 4, 4, 0, 0, 0}};
  gltf_animation::Sample(cubic, 1.0, pose);
  EXPECT_NEAR(pose.scale[0], 2.0, 1e-6);  // a straight line: half way is half the value
  gltf_animation::Sample(cubic, 0.5, pose);
  EXPECT_NEAR(pose.scale[0], 1.0, 1e-6);

  const Float s = std::sin(M_PI / 4.0);
  Channel turn{gltf_animation::Path::Rotation,
               gltf_animation::Interpolation::Linear,
               {0, 1},
               {0, 0, 0, 1, 0, Float32(s), 0, Float32(s)}};
  gltf_animation::Sample(turn, 0.5, pose);  // half of 90 degrees about +Y
  EXPECT_NEAR(pose.rotation[1], std::sin(M_PI / 8.0), 1e-6);
  EXPECT_NEAR(pose.rotation[3], std::cos(M_PI / 8.0), 1e-6);
}

// The document's animation (each evaluation moves the node, the time range is the file's) is
// rendered frame by frame in gltf_render_test.cpp.
// A 2 x 2 image texture on a square that fills the view of a camera looking at it.
TEST(GltfRender, ATextureShowsEachTexelWhereItsCoordinatesPutIt) {
  TempFolder folder;
  WriteQuadrantPng(folder.File("quadrants.png"));
  GltfBuilder builder;
  const int material = builder.Material(1, 1, 1, builder.Texture("quadrants.png"));
  builder.Node({{"mesh", builder.Square({0, 0, -1}, 2.0f, 2, material, true)}});
  builder.Node({{"camera", builder.Camera(2.0 * std::atan(0.9), 1.0)}});
  builder.WriteGltf(folder.File("tex.gltf"));
  const FloatImage image = Imported(folder.File("tex.gltf")).Render(4);
  ASSERT_EQ(image.width, 4);
  // Texture v runs down the image; the square's uv (0,0) corner is its lower left in glTF.
  const auto dominant = [&image](Int32 x, Int32 y) {
    const Float32* p = image.Pixel(x, y);
    return p[0] > 2 * p[1] && p[0] > 2 * p[2]   ? 'r'
           : p[1] > 2 * p[0] && p[1] > 2 * p[2] ? 'g'
           : p[2] > 2 * p[0] && p[2] > 2 * p[1] ? 'b'
                                                : 'w';
  };
  EXPECT_EQ(dominant(0, 3), 'r');
  EXPECT_EQ(dominant(3, 3), 'g');
  EXPECT_EQ(dominant(0, 0), 'b');
  EXPECT_EQ(dominant(3, 0), 'w');
}

// What a light adds to a white square one metre in front of the camera, facing it.
Float AddedLight(const std::string& type, double intensity, double outerCone, Int32 x, Int32 y) {
  TempFolder folder;
  const auto render = [&](bool withLight) {
    GltfBuilder builder;
    builder.Node({{"mesh", builder.Square({0, 0, -1}, 4.0f, 2, builder.Material(1, 1, 1))}});
    builder.Node({{"camera", builder.Camera(2.0 * std::atan(0.9), 1.0)}});
    if (withLight) {
      const int light = builder.Light(type, intensity);
      if (type == "spot")
        builder.Json()["extensions"]["KHR_lights_punctual"]["lights"][light]["spot"] = {
            {"outerConeAngle", outerCone}};
      builder.Node({{"extensions", {{"KHR_lights_punctual", {{"light", light}}}}}});
    }
    const std::string path = folder.File(withLight ? "lit.gltf" : "dark.gltf");
    builder.WriteGltf(path);
    return Imported(path).Render(5).Pixel(x, y)[1];
  };
  return render(true) - render(false);
}

TEST(GltfRender, LightsLightWithTheirIntensityAndCone) {
  // Intensity 1 facing the surface shows the base colour: +1 on a white surface.
  EXPECT_NEAR(AddedLight("directional", 1.0, 0.0, 2, 2), 1.0, 0.02);
  EXPECT_NEAR(AddedLight("directional", 2.0, 0.0, 0, 0), 2.0, 0.02);
  // A point light at the camera: 1 candela at 1 metre; the corner is farther and slanted.
  EXPECT_NEAR(AddedLight("point", 1.0, 0.0, 2, 2), 1.0, 0.02);
  const Float corner = AddedLight("point", 1.0, 0.0, 0, 0);
  EXPECT_GT(corner, 0.2);
  EXPECT_LT(corner, 0.9);
  // A narrow spot lights the centre only.
  EXPECT_NEAR(AddedLight("spot", 1.0, 0.2, 2, 2), 1.0, 0.02);
  EXPECT_NEAR(AddedLight("spot", 1.0, 0.2, 0, 0), 0.0, 1e-6);
}

}  // namespace
