#include "gltf_builder.h"
#include "render_checks.h"

#include "image/view_transform.h"
#include "runtime/object_params.h"
#include "scene/gltf_import.h"
#include "scene/scene_library.h"

#include <gtest/gtest.h>

#include <cmath>

// Light from the environment and from surface to surface, and the film's response: glTF scenes the
// tests write, rendered through the host's renderer.

namespace {

using render_test::TempFolder;

// A glTF scene's camera rendered to a square of `size` pixels with `options`.
FloatImage RenderScene(const std::string& path, Int32 size, const RenderOptions& options) {
  BaseDocument* doc = scene_library::NewDocument();
  GltfScene scene;
  std::string error;
  EXPECT_TRUE(ImportGltf(path, doc, scene, error)) << error;
  doc->GetActiveRenderData()->GetDataInstance()->SetFloat(RDATA_XRES, size);
  doc->GetActiveRenderData()->GetDataInstance()->SetFloat(RDATA_YRES, size);
  const FloatImage image = render_test::RenderFrame(doc, options);
  BaseDocument::Free(doc);
  return image;
}

Float MeanGreen(const FloatImage& image) {
  Float sum = 0.0;
  for (Int32 y = 0; y < image.height; ++y)
    for (Int32 x = 0; x < image.width; ++x) sum += image.Pixel(x, y)[1];
  return sum / (image.width * image.height);
}

RenderOptions Options(const std::string& environment, Int32 samples, Int32 bounces) {
  RenderOptions options;
  options.environment = environment;
  options.samples = samples;
  options.bounces = bounces;
  return options;
}

// The host's own matte (Lambertian) boxes of grey `albedo` before a camera: a wall 1 m ahead and,
// when `corner`, a floor half a metre below, so that the floor and the wall hide part of each
// other's sky.
FloatImage RenderCorner(Float albedo, bool corner, const RenderOptions& options) {
  BaseDocument* doc = scene_library::NewDocument();
  const auto box = [doc, albedo](const Vector& position, const Vector& size) {
    BaseObject* object = BaseObject::Alloc(Ocube);
    object->GetDataInstance()->SetVector(PRIM_CUBE_LEN, size);
    object->GetDataInstance()->SetVector(OBJECT_COLOR, Vector(albedo));
    object->SetRelPos(position);
    doc->InsertObject(object, nullptr);
  };
  box(Vector(0, 0, 100.5), Vector(400, 400, 1));
  if (corner) box(Vector(0, -50.5, 100), Vector(400, 1, 400));
  doc->InsertObject(BaseObject::Alloc(Ocamera), nullptr);
  doc->GetActiveRenderData()->GetDataInstance()->SetFloat(RDATA_XRES, 5);
  doc->GetActiveRenderData()->GetDataInstance()->SetFloat(RDATA_YRES, 5);
  const FloatImage image = render_test::RenderFrame(doc, options);
  BaseDocument::Free(doc);
  return image;
}

TEST(EnvironmentLight, AUniformEnvironmentLightsMatteSurfacesAndWhiteOnesAllTheWay) {
  TempFolder folder;
  const std::string uniform = render_test::WriteUniformImage(folder.File("uniform.exr"), 32, 16, 0.8f);
  // Direct light only: a wall open to half the sky shows its albedo times the sky.
  EXPECT_NEAR(MeanGreen(RenderCorner(0.5, false, Options(uniform, 64, 0))), 0.4, 0.02);
  // Where white surfaces hide each other's sky, only bounce light makes up for it: followed far
  // enough, every surface shows the environment's own radiance (the white furnace).
  EXPECT_LT(MeanGreen(RenderCorner(1.0, true, Options(uniform, 64, 0))), 0.8 * 0.93);
  EXPECT_NEAR(MeanGreen(RenderCorner(1.0, true, Options(uniform, 64, 24))), 0.8, 0.03);
}

TEST(EnvironmentLight, ABrightSpotOfTheEnvironmentCastsAShadow) {
  TempFolder folder;
  // Black but for one texel 45 degrees from the zenith towards +X.
  FloatImage sky;
  ASSERT_TRUE(sky.Allocate(64, 32));
  std::fill(sky.rgba.begin(), sky.rgba.end(), 0.0f);
  std::fill(sky.Pixel(48, 8), sky.Pixel(48, 8) + 4, 2000.0f);
  const std::string environment = render_test::WriteImage(folder.File("spot.exr"), sky);
  // Looking straight down from 2 m at a floor; a square 1 m up and 1 m to +X shades the floor
  // straight below the camera.
  GltfBuilder builder;
  builder.Node({{"mesh", builder.Square({0, -2, 0}, 8.0f, 1, builder.Material(1, 1, 1))}});
  builder.Node({{"mesh", builder.Square({1, -1, 0}, 1.0f, 1, builder.Material(1, 1, 1))}});
  builder.Node({{"camera", builder.Camera(2.0 * std::atan(0.9), 1.0)},
                {"rotation", {-std::sin(M_PI / 4), 0, 0, std::cos(M_PI / 4)}}});
  builder.WriteGltf(folder.File("shadow.gltf"));
  const FloatImage image = RenderScene(folder.File("shadow.gltf"), 9, Options(environment, 16, 0));
  const Float lit = image.Pixel(1, 4)[1];
  EXPECT_GT(lit, 0.05);
  EXPECT_LT(image.Pixel(4, 4)[1], 0.1 * lit);
}

TEST(FilmResponse, ExposureScalesTheLightAndTheNeutralViewRollsHighlightsOff) {
  RenderOptions brighter = Options("", 1, 0);
  brighter.film.exposure = 1.0;
  const FloatImage once = RenderCorner(0.5, true, Options("", 1, 0));
  const FloatImage twice = RenderCorner(0.5, true, brighter);
  for (size_t i = 0; i < once.rgba.size(); ++i) {
    if (i % 4 == 3) continue;  // coverage, not light
    ASSERT_EQ(twice.rgba[i], 2.0f * once.rgba[i]) << i;
  }
  // Neutral: dark colours nearly as they are, white and beyond below the display's white.
  EXPECT_NEAR(PbrNeutral(Vector(0.3, 0.2, 0.1)).x, 0.3 - 0.04, 1e-9);
  for (const Float light : {1.0, 4.0, 1e3}) EXPECT_LT(PbrNeutral(Vector(light)).x, 1.0) << light;
  EXPECT_LT(PbrNeutral(Vector(1.0)).x, PbrNeutral(Vector(4.0)).x);
}

}  // namespace
