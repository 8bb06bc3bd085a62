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
  namespace ga = gltf_animation;
  const ga::Channel linear{ga::Path::Translation, ga::Interpolation::Linear, {1, 3}, {0, 0, 0, 4, 8, -2}};
  const ga::Channel step{ga::Path::Translation, ga::Interpolation::Step, {1, 3}, {0, 0, 0, 4, 8, -2}};
  // In-tangent, value, out-tangent per key; a slope of 2 per second leaving 0 and arriving at 4.
  const ga::Channel cubic{ga::Path::Scale,
                          ga::Interpolation::CubicSpline,
                          {0, 2},
                          {0, 0, 0, 0, 0, 0, 2, 2, 2, 2, 2, 2, 4, 4, 4, 0, 0, 0}};
  const Float32 s = static_cast<Float32>(std::sin(M_PI / 4.0));
  const ga::Channel turn{ga::Path::Rotation, ga::Interpolation::Linear, {0, 1}, {0, 0, 0, 1, 0, s, 0, s}};
  const struct {
    const ga::Channel& channel;
    double time;
    std::vector<double> expected;  // translation, scale or rotation, as the channel's path says
  } samples[] = {
      {linear, 2.0, {2, 4, -1}},
      {linear, 0.0, {0, 0, 0}},   // before the first key: the first
      {linear, 9.0, {4, 8, -2}},  // after the last: the last
      {step, 2.9, {0, 0, 0}},
      {cubic, 1.0, {2, 2, 2}},  // a straight line: half way is half the value
      {cubic, 0.5, {1, 1, 1}},
      {turn, 0.5, {0, std::sin(M_PI / 8.0), 0, std::cos(M_PI / 8.0)}},  // half of 90 degrees about +Y
  };
  for (const auto& sample : samples) {
    ga::Pose pose;
    ga::Sample(sample.channel, sample.time, pose);
    const double* value = sample.channel.path == ga::Path::Translation ? pose.translation.data()
                          : sample.channel.path == ga::Path::Scale     ? pose.scale.data()
                                                                       : pose.rotation.data();
    for (size_t i = 0; i < sample.expected.size(); ++i)
      EXPECT_NEAR(value[i], sample.expected[i], 1e-6) << "at " << sample.time << ", component " << i;
  }
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
