#include "gltf_builder.h"
#include "render_checks.h"

#include "render/scene_accel.h"
#include "render/texture_sampling.h"
#include "scene/gltf_import.h"
#include "scene/scene_library.h"

#include <gtest/gtest.h>

#include <cmath>

// glTF's material model as the renderer shades it, on scenes and textures the tests make: the
// BRDF's mirror and highlights, emission, alpha, single-sided faces, normal maps, and textures read
// as their samplers say.

namespace {

using json = nlohmann::json;
using render_test::TempFolder;

// A document holding an imported scene.
struct Scene {
  BaseDocument* doc = scene_library::NewDocument();
  explicit Scene(const std::string& path) {
    GltfScene scene;
    std::string error;
    EXPECT_TRUE(ImportGltf(path, doc, scene, error)) << error;
  }
  ~Scene() { BaseDocument::Free(doc); }
  FloatImage Render(Int32 size, const RenderOptions& options = RenderOptions()) {
    doc->GetActiveRenderData()->GetDataInstance()->SetFloat(RDATA_XRES, size);
    doc->GetActiveRenderData()->GetDataInstance()->SetFloat(RDATA_YRES, size);
    return render_test::RenderFrame(doc, options);
  }
};

RenderOptions Lit(const std::string& environment, Int32 samples) {
  RenderOptions options;
  options.environment = environment;
  options.samples = samples;
  return options;
}

// A material of `pbr` values (over a black, rough dielectric) with the extra JSON `more`.
int AddMaterial(GltfBuilder& builder, const json& pbr = json::object(), const json& more = json::object()) {
  json material = {{"pbrMetallicRoughness", {{"baseColorFactor", {0, 0, 0, 1}}, {"metallicFactor", 0.0}}},
                   {"doubleSided", true}};
  material["pbrMetallicRoughness"].update(pbr);
  material.update(more);
  builder.Json()["materials"].push_back(material);
  return static_cast<int>(builder.Json()["materials"].size() - 1);
}

int Camera(GltfBuilder& builder, double yfov = 2.0 * std::atan(0.9)) {
  return builder.Node({{"camera", builder.Camera(yfov, 1.0)}});
}

std::string Written(GltfBuilder& builder, const TempFolder& folder, const std::string& name) {
  builder.WriteGltf(folder.File(name));
  return folder.File(name);
}

// An environment of one colour on its +X half (u from 0.5 to 1) and another on its -X half.
std::string HalvesEnvironment(const TempFolder& folder) {
  FloatImage image;
  EXPECT_TRUE(image.Allocate(64, 32));
  for (Int32 y = 0; y < 32; ++y)
    for (Int32 x = 0; x < 64; ++x) {
      Float32* p = image.Pixel(x, y);
      const bool plusX = x >= 32;
      p[0] = plusX ? 0.0f : 1.0f;
      p[1] = plusX ? 1.0f : 0.0f;
      p[2] = 0.0f;
      p[3] = 1.0f;
    }
  return render_test::WriteImage(folder.File("halves.exr"), image);
}

TEST(Material, AMirrorReflectsTheDirectionTheLawOfReflectionGives) {
  TempFolder folder;
  // A metal mirror 1 m ahead, turned 45 degrees about Y so that its normal points to +X and +Z:
  // the view along -Z comes back along +X, into the environment's green half.
  GltfBuilder builder;
  const int mirror = AddMaterial(
      builder, {{"baseColorFactor", {1, 1, 1, 1}}, {"metallicFactor", 1.0}, {"roughnessFactor", 0.0}});
  const int square = builder.Square({0, 0, 0}, 1.0f, 2, mirror);
  builder.Node({{"mesh", square},
                {"translation", {0, 0, -1}},
                {"rotation", {0, std::sin(M_PI / 8), 0, std::cos(M_PI / 8)}}});
  Camera(builder);
  const FloatImage image =
      Scene(Written(builder, folder, "mirror.gltf")).Render(5, Lit(HalvesEnvironment(folder), 64));
  const Float32* centre = image.Pixel(2, 2);
  EXPECT_NEAR(centre[1], 1.0, 0.15);  // a white metal reflects all of it
  EXPECT_LT(centre[0], 0.05);
}

// The pixels of a black glossy floor seen from above whose sun's highlight is brighter than a tenth
// of its peak.
int HighlightPixels(double roughness) {
  TempFolder folder;
  GltfBuilder builder;
  const int floor = AddMaterial(builder, {{"roughnessFactor", roughness}});
  builder.Node({{"mesh", builder.Square({0, -1, 0}, 20.0f, 1, floor)}});
  builder.Node({{"camera", builder.Camera(2.0 * std::atan(1.5), 1.0)},
                {"rotation", {-std::sin(M_PI / 4), 0, 0, std::cos(M_PI / 4)}}});
  const int sun = builder.Light("directional", 1e5);
  builder.Node({{"rotation", {-std::sin(M_PI / 4), 0, 0, std::cos(M_PI / 4)}},
                {"extensions", {{"KHR_lights_punctual", {{"light", sun}}}}}});
  const FloatImage image = Scene(Written(builder, folder, "gloss.gltf")).Render(33);
  Float peak = 0.0;
  for (Int32 i = 0; i < 33 * 33; ++i) peak = std::max<Float>(peak, image.rgba[4 * i + 1]);
  int bright = 0;
  for (Int32 i = 0; i < 33 * 33; ++i) bright += image.rgba[4 * i + 1] > 0.1 * peak;
  return bright;
}

TEST(Material, ARougherSurfaceSpreadsItsHighlight) {
  const int sharp = HighlightPixels(0.15);
  const int middle = HighlightPixels(0.3);
  const int broad = HighlightPixels(0.6);
  EXPECT_GT(sharp, 0);
  EXPECT_LT(sharp * 2, middle);
  EXPECT_LT(middle * 2, broad);
}

TEST(Material, EmissionShowsWithoutAnyLight) {
  TempFolder folder;
  const std::string dark = render_test::WriteUniformImage(folder.File("dark.exr"), 8, 4, 0.0f);
  GltfBuilder builder;
  const int glow =
      AddMaterial(builder, json::object(),
                  {{"emissiveFactor", {1.0, 0.5, 0.25}},
                   {"extensions", {{"KHR_materials_emissive_strength", {{"emissiveStrength", 2.0}}}}}});
  builder.Node({{"mesh", builder.Square({0, 0, -1}, 4.0f, 2, glow)}});
  Camera(builder);
  const FloatImage image = Scene(Written(builder, folder, "glow.gltf")).Render(3, Lit(dark, 1));
  EXPECT_NEAR(image.Pixel(1, 1)[0], 2.0, 1e-6);
  EXPECT_NEAR(image.Pixel(1, 1)[1], 1.0, 1e-6);
  EXPECT_NEAR(image.Pixel(1, 1)[2], 0.5, 1e-6);
}

// A 2 x 1 PNG: its left texel opaque red, its right one fully transparent.
void WriteHalfTransparentPng(const std::string& path) {
  FloatImage image;
  ASSERT_TRUE(image.Allocate(2, 1));
  const Float32 texels[8] = {1, 0, 0, 1, 0, 0, 0, 0};
  std::copy(texels, texels + 8, image.rgba.begin());
  render_test::WriteImage(path, image);
}

TEST(Material, CutOutAndTransparentPartsLetCameraAndShadowRaysThrough) {
  TempFolder folder;
  WriteHalfTransparentPng(folder.File("half.png"));
  const auto scene = [&](const json& alpha, const std::string& name) {
    GltfBuilder builder;
    const int cut = AddMaterial(
        builder,
        {{"baseColorFactor", {1, 1, 1, 1}}, {"baseColorTexture", {{"index", builder.Texture("half.png")}}}},
        alpha);
    builder.Node({{"mesh", builder.Square({0, 0, -1}, 2.0f, 2, cut, true)}});
    return Scene(Written(builder, folder, name));
  };
  Scene mask = scene({{"alphaMode", "MASK"}}, "mask.gltf");
  Scene blend = scene({{"alphaMode", "BLEND"},
                       {"pbrMetallicRoughness",
                        {{"baseColorFactor", {1, 1, 1, 0.5}},
                         {"metallicFactor", 0.0},
                         {"baseColorTexture", {{"index", 0}}}}}},
                      "blend.gltf");
  SceneAccel accel;
  std::string error;
  ASSERT_TRUE(accel.Build(mask.doc, error)) << error;
  // Texture u runs along glTF +X: the left half (x < 0) is opaque, the right half cut out.
  const Vector through(0, 0, 1);  // host +Z is glTF -Z
  EXPECT_TRUE(accel.Occluded(Vector(-50, 0, 0), through, 1000.0));
  EXPECT_FALSE(accel.Occluded(Vector(50, 0, 0), through, 1000.0));
  Hit hit;
  EXPECT_FALSE(accel.Intersect(Vector(50, 0, 0), through, hit));
  // Half transparent: about half the rays through the opaque half pass, each decided by the ray.
  ASSERT_TRUE(accel.Build(blend.doc, error)) << error;
  int blocked = 0;
  for (int i = 0; i < 400; ++i) blocked += accel.Occluded(Vector(-90 + i * 0.2, 10, 0), through, 1000.0);
  EXPECT_NEAR(blocked, 200, 40);
  EXPECT_EQ(accel.Occluded(Vector(-50, 0, 0), through, 1000.0),
            accel.Occluded(Vector(-50, 0, 0), through, 1000.0));
}

TEST(Material, ASingleSidedSurfaceIsSeenFromTheFrontOnly) {
  TempFolder folder;
  GltfBuilder builder;
  json red = {{"pbrMetallicRoughness", {{"baseColorFactor", {1, 0, 0, 1}}, {"metallicFactor", 0.0}}}};
  builder.Json()["materials"].push_back(red);
  // Both facing +Z: towards the origin from 1 m along -Z, away from it 1 m along +Z.
  builder.Node({{"mesh", builder.Square({0, 0, -1}, 4.0f, 2, 0)}});
  builder.Node({{"mesh", builder.Square({0, 0, 1}, 4.0f, 2, 0)}});
  SceneAccel accel;
  std::string error;
  Scene scene(Written(builder, folder, "sides.gltf"));
  ASSERT_TRUE(accel.Build(scene.doc, error)) << error;
  Hit hit;
  EXPECT_TRUE(accel.Intersect(Vector(), Vector(0, 0, 1), hit));    // glTF -Z: its front
  EXPECT_FALSE(accel.Intersect(Vector(), Vector(0, 0, -1), hit));  // glTF +Z: the back of the other
}

// The light a square facing the camera reflects from a sun 45 degrees to glTF's +X or -X, with a
// normal map tilting every normal towards +u (glTF +X) when `mapped`.
Float SideLit(bool mapped, double side) {
  TempFolder folder;
  FloatImage tilt;
  EXPECT_TRUE(tilt.Allocate(1, 1));
  const Float32 texel[4] = {0.75f, 0.5f, 0.933f, 1.0f};  // (0.5, 0, 0.866) in the tangent frame
  std::copy(texel, texel + 4, tilt.rgba.begin());
  render_test::WriteImage(folder.File("tilt.png"), tilt);
  GltfBuilder builder;
  const json normal = {{"normalTexture", {{"index", builder.Texture("tilt.png")}}}};
  const int material =
      AddMaterial(builder, {{"baseColorFactor", {1, 1, 1, 1}}}, mapped ? normal : json::object());
  builder.Node({{"mesh", builder.Square({0, 0, -1}, 4.0f, 2, material, true)}});
  Camera(builder);
  const int sun = builder.Light("directional", 1000.0);
  builder.Node({{"rotation", {0, std::sin(side * M_PI / 8), 0, std::cos(side * M_PI / 8)}},
                {"extensions", {{"KHR_lights_punctual", {{"light", sun}}}}}});
  return Scene(Written(builder, folder, "tilt.gltf")).Render(3).Pixel(1, 1)[1];
}

TEST(Material, ANormalMapTurnsTheShadingNormalAsItsTangentFrameSays) {
  const Float flat = SideLit(false, 1.0);
  EXPECT_NEAR(SideLit(false, -1.0), flat, 1e-6);
  // Tilted 30 degrees towards +X: the sun from +X meets it at 15 degrees, the one from -X at 75 (both
  // over the same soft sky light).
  EXPECT_GT(SideLit(true, 1.0), 1.05 * flat);
  EXPECT_LT(SideLit(true, -1.0), 0.6 * flat);
}

// A 2 x 1 texture, red then green, read at its nearest texel.
TextureSlot RedGreen(TextureSlot::Wrap wrap) {
  Texture texture;
  texture.width = 2;
  texture.height = 1;
  texture.texels = {{1, 0, 0, 1}, {0, 1, 0, 1}};
  TextureSlot slot;
  slot.texture = MakeMipTexture(texture);
  slot.wrapS = wrap;
  slot.magnify = TextureSlot::Filter::Nearest;
  return slot;
}

TEST(TextureSampling, EachWrapModeBeyondTheTexture) {
  using Wrap = TextureSlot::Wrap;
  const struct {
    Wrap wrap;
    Float u;
    char colour;
  } cases[] = {{Wrap::Repeat, 1.25, 'r'},         {Wrap::Repeat, 1.75, 'g'},
               {Wrap::Repeat, -0.25, 'g'},        {Wrap::ClampToEdge, 1.25, 'g'},
               {Wrap::ClampToEdge, -3.0, 'r'},    {Wrap::MirroredRepeat, 1.25, 'g'},
               {Wrap::MirroredRepeat, 1.75, 'r'}, {Wrap::MirroredRepeat, -0.25, 'r'}};
  for (const auto& c : cases) {
    const Rgba texel = SampleTexture(RedGreen(c.wrap), c.u, 0.5, 0.0);
    EXPECT_EQ(texel[0] > texel[1] ? 'r' : 'g', c.colour) << static_cast<int>(c.wrap) << " at " << c.u;
  }
}

TEST(TextureSampling, AFarCheckerboardAveragesWithMipmapsAndAliasesWithout) {
  Texture checker;
  checker.width = checker.height = 64;
  for (Int32 y = 0; y < 64; ++y)
    for (Int32 x = 0; x < 64; ++x) {
      const Float32 v = (x + y) % 2 ? 1.0f : 0.0f;
      checker.texels.push_back({v, v, v, 1});
    }
  TextureSlot slot;
  slot.texture = MakeMipTexture(checker);
  slot.minify = TextureSlot::Filter::Nearest;
  Float lowest = 1.0, highest = 0.0, lowestMip = 1.0, highestMip = 0.0;
  for (int i = 0; i < 50; ++i) {
    const Float u = 0.013 * i, v = 0.007 * i;
    slot.mipmaps = false;
    const Float plain = SampleTexture(slot, u, v, 0.5)[0];
    slot.mipmaps = true;
    const Float filtered = SampleTexture(slot, u, v, 0.5)[0];
    lowest = std::min(lowest, plain), highest = std::max(highest, plain);
    lowestMip = std::min(lowestMip, filtered), highestMip = std::max(highestMip, filtered);
  }
  EXPECT_EQ(lowest, 0.0);  // without mipmaps a pixel covering half the texture shows one texel
  EXPECT_EQ(highest, 1.0);
  EXPECT_NEAR(lowestMip, 0.5, 1e-6);
  EXPECT_NEAR(highestMip, 0.5, 1e-6);
}

// The spread of a far chequered floor's pixels near a panorama's horizon, its texture read with
// the sampler `sampler`: the lens's own ray spacing sets each pixel's footprint.
Float HorizonSpread(const json& sampler) {
  TempFolder folder;
  FloatImage checker;
  EXPECT_TRUE(checker.Allocate(8, 8));
  for (Int32 i = 0; i < 64; ++i)
    std::fill_n(checker.rgba.begin() + 4 * i, 4, (i % 8 + i / 8) % 2 ? 1.0f : 0.0f);
  render_test::WriteImage(folder.File("checker.png"), checker);
  GltfBuilder builder;
  const json texture = {{"index", builder.Texture("checker.png", sampler)},
                        {"extensions", {{"KHR_texture_transform", {{"scale", {400, 400}}}}}}};
  const int floor = AddMaterial(builder, {{"baseColorFactor", {1, 1, 1, 1}}, {"baseColorTexture", texture}});
  builder.Node({{"mesh", builder.Square({0, -1, 0}, 400.0f, 1, floor, true)}});
  const int sun = builder.Light("directional", 3000.0);  // straight down
  builder.Node({{"rotation", {-std::sin(M_PI / 4), 0, 0, std::cos(M_PI / 4)}},
                {"extensions", {{"KHR_lights_punctual", {{"light", sun}}}}}});
  const std::string path = Written(builder, folder, "floor.gltf");
  Scene scene(path);
  RenderOptions options;
  options.samples = 1;
  const FloatImage image = scene.Render(96, options);  // a 96 x 96 view of the default camera
  Float sum = 0.0, squares = 0.0;
  int count = 0;
  for (Int32 y = 58; y < 66; ++y)
    for (Int32 x = 0; x < 96; ++x) {
      const Float v = image.Pixel(x, y)[1];
      sum += v, squares += v * v, ++count;
    }
  const Float mean = sum / count;
  return std::sqrt(std::max(0.0, squares / count - mean * mean));
}

TEST(TextureSampling, AFarTextureIsReadOverWhatAPixelCovers) {
  const Float plain = HorizonSpread({{"magFilter", 9729}, {"minFilter", 9729}});
  const Float filtered = HorizonSpread(json::object());  // no filters given: mipmaps
  EXPECT_LT(filtered, 0.3 * plain) << filtered << " " << plain;
}

TEST(TextureSampling, TheTextureTransformOffsetsRotatesAndScales) {
  TextureSlot slot;
  slot.transformed = true;
  slot.offset[0] = 0.5;
  slot.offset[1] = 0.25;
  slot.rotation = M_PI / 2;
  slot.scale[0] = 2.0;
  slot.scale[1] = 3.0;
  slot.texCoord = 1;
  const std::array<Float, 2> uv = SlotCoordinates(slot, {9, 9}, {1, 1});
  // Scaled to (2, 3), turned a quarter (u' = v, v' = -u), moved by the offset.
  EXPECT_NEAR(uv[0], 3.5, 1e-12);
  EXPECT_NEAR(uv[1], -1.75, 1e-12);
}

}  // namespace
