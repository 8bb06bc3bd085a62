#include "files_support.h"
#include "gltf_builder.h"
#include "render_checks.h"

#include "runtime/object_params.h"
#include "scene/gltf_animation.h"
#include "scene/gltf_import.h"
#include "scene/scene_library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

// The importer's conversions, hierarchy, cameras, animation, textures and lights, checked on
// scenes the tests write; and files from anywhere: each broken or hostile file is refused with a
// message naming the file and the element, before anything large is allocated. (Missing, empty,
// folder and text files are refused through the render command in data/commands.tsv.)

namespace {

namespace fs = std::filesystem;
using render_test::ExpectRendered;
using render_test::RenderCommand;
using render_test::TempFolder;
using json = nlohmann::json;

// A document holding an imported file, or the error that refused it.
struct Imported {
  BaseDocument* doc = scene_library::NewDocument();
  GltfScene scene;
  std::string error;
  bool ok = false;
  explicit Imported(const std::string& path,
                    gltf_convention::LightUnits units = gltf_convention::LightUnits::Photometric) {
    ok = ImportGltf(path, doc, scene, error, units);
  }
  ~Imported() { BaseDocument::Free(doc); }
  // Renders the document's camera to a square of `size` pixels.
  FloatImage Render(Int32 size) {
    EXPECT_TRUE(ok) << error;
    doc->GetActiveRenderData()->GetDataInstance()->SetFloat(RDATA_XRES, size);
    doc->GetActiveRenderData()->GetDataInstance()->SetFloat(RDATA_YRES, size);
    return render_test::RenderFrame(doc, RenderOptions());
  }
};

// The channel of a pixel that outweighs both others fourfold: 'r', 'g' or 'b'; 'w' when none does.
char Dominant(const FloatImage& image, Int32 x, Int32 y) {
  const Float32* p = image.Pixel(x, y);
  for (int c = 0; c < 3; ++c)
    if (p[c] > 0.05f && p[c] > 4.0f * p[(c + 1) % 3] && p[c] > 4.0f * p[(c + 2) % 3]) return "rgb"[c];
  return 'w';
}

// Z mirrored and metres turned into scene units, for .glb and .gltf alike: rendered in
// GltfRenderCommand below and measured by the comfort report (a wall 1 m ahead stands 100 units ahead).
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
  for (const auto& [actual, expected] : {std::pair{world.offset, Vector(800, 100, 0)},
                                         {world.axisZ, Vector(-1, 0, 0)},
                                         {world.axisY, Vector(0, 1, 0)}})
    EXPECT_LT((actual - expected).GetLength(), 1e-6) << actual.x << ", " << actual.y << ", " << actual.z;
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
  // The same turn with its end key's signs flipped (the same rotation): still the short way round.
  const ga::Channel flipped{
      ga::Path::Rotation, ga::Interpolation::Linear, {0, 1}, {0, 0, 0, 1, 0, -s, 0, -s}};
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
      {flipped, 0.5, {0, std::sin(M_PI / 8.0), 0, std::cos(M_PI / 8.0)}},
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
// rendered frame by frame by GltfRenderCommand below.
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
  EXPECT_EQ((std::string{Dominant(image, 0, 3), Dominant(image, 3, 3), Dominant(image, 0, 0),
                         Dominant(image, 3, 0)}),
            "rgbw");
}

// What a light adds to the centre of a white square `distance` metres in front of the camera, facing
// it; the light stands at the camera, turned `turn` radians about X (its axis, for a spot, so far
// from the square's centre). `extra` joins the light's JSON (a spot's cone, a range).
Float AddedLight(const std::string& type, double intensity, double distance, double turn = 0.0,
                 const nlohmann::json& extra = {}) {
  TempFolder folder;
  const auto render = [&](bool withLight) {
    GltfBuilder builder;
    const float side = static_cast<float>(4.0 * distance);
    builder.Node({{"mesh", builder.Square({0, 0, static_cast<float>(-distance)}, side, 2,
                                          builder.Material(1, 1, 1))}});
    builder.Node({{"camera", builder.Camera(2.0 * std::atan(0.9), 1.0)}});
    if (withLight) {
      const int light = builder.Light(type, intensity);
      if (!extra.is_null())
        builder.Json()["extensions"]["KHR_lights_punctual"]["lights"][light].update(extra);
      builder.Node({{"rotation", {std::sin(turn / 2), 0, 0, std::cos(turn / 2)}},
                    {"extensions", {{"KHR_lights_punctual", {{"light", light}}}}}});
    }
    const std::string path = folder.File(withLight ? "lit.gltf" : "dark.gltf");
    builder.WriteGltf(path);
    return Imported(path).Render(5).Pixel(2, 2)[1];
  };
  return render(true) - render(false);
}

// A white Lambertian surface under one lux shows 1 / (683 pi): 683 lumens per watt, and the
// radiance of a matte surface is its irradiance over pi.
constexpr Float kPerLux = 1.0 / (683.0 * M_PI);
// What a rough (roughness 1) dielectric of base colour `base` reflects of that, light and viewer
// both square on: 96% through its diffuse lobe, and its 4% specular layer a quarter as bright
// (GGX's D = 1/pi and Smith's visibility 1/4 at roughness 1).
constexpr Float RoughDielectric(Float base) { return 0.96 * base + 0.04 * 0.25; }

TEST(GltfRender, LightsLightInTheUnitsOfTheExtension) {
  const json spot = {{"spot", {{"innerConeAngle", 0.2}, {"outerConeAngle", 0.4}}}};
  const double midway = std::acos((std::cos(0.2) + std::cos(0.4)) / 2);  // half way in cosine
  const struct {
    const char* type;
    double intensity, distance, turn;
    json extra;
    Float expected;
  } cases[] = {
      {"directional", 2049.0, 1.0, 0.0, {}, 2049.0 * kPerLux},  // a sun of 3 W/m2 as exported
      {"point", 1000.0, 1.0, 0.0, {}, 1000.0 * kPerLux},        // candela at 1 m: lux
      {"point", 1000.0, 2.0, 0.0, {}, 250.0 * kPerLux},         // a quarter at twice the distance
      {"point", 1000.0, 1.0, 0.0, {{"range", 2.0}}, 1000.0 * kPerLux * std::pow(1.0 - 1.0 / 16.0, 2)},
      {"point", 1000.0, 2.0, 0.0, {{"range", 2.0}}, 0.0},            // nothing at the range
      {"spot", 1000.0, 1.0, 0.1, spot, 1000.0 * kPerLux},            // inside the inner cone: full
      {"spot", 1000.0, 1.0, midway, spot, 0.25 * 1000.0 * kPerLux},  // half way: the square of a half
      {"spot", 1000.0, 1.0, 0.45, spot, 0.0},                        // beyond the outer cone: none
  };
  for (const auto& c : cases)
    EXPECT_NEAR(AddedLight(c.type, c.intensity, c.distance, c.turn, c.extra),
                c.expected * RoughDielectric(1.0), 2e-3 * c.expected + 1e-5)
        << c.type << " " << c.distance << " m, turned " << c.turn << ", " << c.extra.dump();
}

TEST(GltfRender, UnitlessLightsLightAFacingSurfaceToItsColour) {
  TempFolder folder;
  GltfBuilder builder;
  builder.Node({{"mesh", builder.Square({0, 0, -1}, 4.0f, 2, builder.Material(0.5f, 0.5f, 0.5f))}});
  builder.Node({{"camera", builder.Camera(2.0 * std::atan(0.9), 1.0)}});
  builder.Node({{"extensions", {{"KHR_lights_punctual", {{"light", builder.Light("directional", 1.0)}}}}}});
  builder.WriteGltf(folder.File("unitless.gltf"));
  const auto centre = [&](gltf_convention::LightUnits units) {
    Imported imported(folder.File("unitless.gltf"), units);
    return imported.Render(5).Pixel(2, 2)[1];
  };
  EXPECT_NEAR(
      centre(gltf_convention::LightUnits::Unitless) - centre(gltf_convention::LightUnits::Photometric),
      RoughDielectric(0.5) * (1.0 - kPerLux), 2e-3);
}

// The file at `path` is refused with a message that starts with its path and holds `message`.
void ExpectRefused(const std::string& path, const std::string& message) {
  const Imported outcome(path);
  EXPECT_FALSE(outcome.ok) << path;
  EXPECT_EQ(outcome.error.rfind(path + ": ", 0), 0u) << outcome.error;
  files::ExpectHolds(outcome.error, {message});
}

// A triangle (accessor 0: points, 1: indices) and a camera, for the cases to break.
GltfBuilder Valid() {
  GltfBuilder builder;
  const int mesh = builder.Mesh({0, 0, -5, 1, 0, -5, 0, 1, -5}, -1, {}, {0, 1, 2});
  builder.Node({{"mesh", mesh}});
  builder.Node({{"camera", builder.Camera(0.8, 1.0)}});
  return builder;
}

// An edit that sets the JSON at `pointer` to the value `json` spells.
std::function<void(GltfBuilder&)> Set(const char* pointer, const char* json) {
  return
      [=](GltfBuilder& b) { b.Json()[nlohmann::json::json_pointer(pointer)] = nlohmann::json::parse(json); };
}

// An edit that animates node `node`'s translation with two keyed values at `times`.
std::function<void(GltfBuilder&)> Keys(int node, const std::vector<float>& times) {
  return [=](GltfBuilder& b) { b.Animate(node, "translation", times, {0, 0, 0, 1, 1, 1}); };
}

TEST(GltfHostile, BrokenJsonReferencesAreRefusedNamingTheElement) {
  const struct {
    std::function<void(GltfBuilder&)> edit;
    const char* message;
  } cases[] = {
      {Set("/accessors/0/count", "0"), "accessors[0]: count is 0"},
      {Set("/accessors/0/count", "4000000000"), "accessors[0]: count 4000000000 is more than the 16777216"},
      {Set("/accessors/0/count", "4"), "accessors[0]: 4 elements of 12 bytes"},
      {Set("/accessors/0/byteOffset", "2147483648"), "accessors[0]: 3 elements"},
      {Set("/bufferViews/0/byteLength", "1048576"), "bufferViews[0]"},
      {Set("/bufferViews/0/byteStride", "4"), "byte stride"},
      {Set("/accessors/0/type", R"("VEC2")"), "accessors[0]: has the wrong type"},
      {Set("/meshes/0/primitives/0/attributes/POSITION", "9"), "accessors[9]"},
      {[](GltfBuilder& b) {
         b.Json()["meshes"][0]["primitives"][0]["indices"] = b.Indices({0, 1, 3});  // one past the last
       },
       "meshes[0].primitives[0]: index 3 is outside its 3 points"},
      {[](GltfBuilder& b) {
         const int indices = b.Indices({5}), values = b.Floats({1, 1, 1}, "VEC3");
         b.Json()["accessors"][0]["sparse"] = {
             {"count", 1},
             {"indices",
              {{"bufferView", b.Json()["accessors"][indices]["bufferView"]}, {"componentType", 5123}}},
             {"values", {{"bufferView", b.Json()["accessors"][values]["bufferView"]}}}};
       },
       "accessors[0]: sparse index 5 (entry 0) is outside its 3 elements"},
      {Set("/nodes/1/children", "[1]"), "nodes[1]: child 1"},
      {Set("/nodes/1/camera", "4"), "nodes[1]: camera 4 does not exist"},
      {Keys(7, {0, 1}), "animations[0].channels[0]: target node 7"},
      {Keys(0, {1, 0}), "key times must not decrease"},
      {Keys(0, {0, 1, 2}), "2 output values for 3 key times"},
      {Keys(0, {0, 1e30f}), "key time 1e+30 lies beyond 86400 seconds"},
      {Keys(0, {0, 3e38f}), "beyond the largest value taken here, 3e+38"},
      // Finite in metres, beyond single precision in centimetres (Z mirrored).
      {Set("/nodes/1/translation", "[0, 0, 1e38]"), "nodes[1]: its transform holds -1e+40 in scene units"},
      {Set("/nodes", "[{}, {}]"), "no triangle mesh and no camera"},
      {Set("/images", R"([{"uri": "/etc/hostname"}])"), "\"/etc/hostname\""},
      {Set("/images", R"([{"uri": "../outside.png"}])"), "\"../outside.png\" is refused"},
      // Files that break the format itself.
      {Set("/accessors/0/componentType", "5121"),
       "meshes[0].primitives[0].attributes.POSITION: accessor 0 holds components of type 5121"},
      {Set("/extensionsRequired", R"(["KHR_draco_mesh_compression"])"),
       "extensionsRequired: \"KHR_draco_mesh_compression\" is not supported"},
      {Set("/asset/version", R"("1.0")"), "asset.version: \"1.0\" is not 2.x"},
      {Set("/nodes/0/mesh", R"("0")"), "nodes[0].mesh: must be an index (a whole number from 0), not \"0\""},
      {Set("/nodes/0/children", "1"), "nodes[0].children: must be a list of node indices"},
      {Set("/nodes/1/translation", "[1, 2]"), "nodes[1].translation: must be 3 numbers"},
      {Set("/scene", "5"), "scene: 5 names no scene (the file has 1)"},
  };
  TempFolder folder;
  for (const auto& bad : cases) {
    GltfBuilder builder = Valid();
    bad.edit(builder);
    const std::string path = folder.File("bad.gltf");
    builder.WriteGltf(path);
    ExpectRefused(path, bad.message);
  }
}

TEST(GltfHostile, BrokenFilesAreRefusedBeforeTheyAreParsed) {
  TempFolder folder;
  const std::vector<unsigned char> glb = Valid().Glb();
  const auto writeBytes = [&folder](const char* name, const std::vector<unsigned char>& bytes) {
    files::WriteBytes(folder.File(name), bytes);
    return folder.File(name);
  };
  std::vector<unsigned char> longChunk = glb;
  longChunk[12] = 0xff;  // the JSON chunk claims more bytes than the file has
  longChunk[13] = 0xff;
  std::vector<unsigned char> hugeChunk = glb;
  hugeChunk[15] = 0x7f;
  files::WriteText(
      folder.File("bad-base64.gltf"),
      R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":8,"uri":"data:application/octet-stream;base64,@@@@"}]})");
  files::WriteText(
      folder.File("short-data.gltf"),
      R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":8,"uri":"data:application/octet-stream;base64,AAAA"}]})");
  // Nesting that would exhaust the stack of the JSON reader, in either kind of file.
  files::WriteText(folder.File("deep.gltf"), NestedGltfText(20000));
  const struct {
    std::string path;
    const char* message;
  } cases[] = {
      {folder.File("bad-base64.gltf"), "buffers[0]: its data URI holds no valid base64"},
      {folder.File("short-data.gltf"),
       "buffers[0]: byteLength 8 disagrees with its data URI, which holds 3 bytes"},
      {folder.File("deep.gltf"), "nested deeper than 64 levels"},
      {writeBytes("deep.glb", GlbBytes(NestedGltfText(20000))), "nested deeper than 64 levels"},
      {writeBytes("truncated.glb", std::vector<unsigned char>(glb.begin(), glb.end() - 8)),
       "does not match the file's"},
      {writeBytes("long-chunk.glb", longChunk), "chunk 0 of"},
      {writeBytes("huge-chunk.glb", hugeChunk), "runs past the end of the file"},
      {writeBytes("short.glb", std::vector<unsigned char>(glb.begin(), glb.begin() + 14)), "too short"},
  };
  for (const auto& bad : cases) ExpectRefused(bad.path, bad.message);
}

TEST(GltfHostile, OddTransformsAreRefusedOrFixedWithAWarning) {
  TempFolder folder;
  const std::string path = folder.File("odd.gltf");
  GltfBuilder zeroQuaternion = Valid();
  zeroQuaternion.Json()["nodes"][0]["rotation"] = {0, 0, 0, 0};
  zeroQuaternion.Json()["nodes"][1]["scale"] = {1, 0, 1};
  zeroQuaternion.WriteGltf(path);
  const Imported fixed(path);
  EXPECT_TRUE(fixed.ok) << fixed.error;
  files::ExpectHolds(fixed.scene.warnings,
                     {"nodes[0]: rotation is a zero quaternion", "nodes[1]: a scale of 0"});

  GltfBuilder infinite = Valid();
  infinite.Json()["nodes"][0]["translation"] = {1, 2, 3};
  std::string text = infinite.GltfText();
  text.replace(text.find("[1,2,3]"), 7, "[1,2,1e999]");
  files::WriteText(path, text);
  ExpectRefused(path, "glTF 2.0 file: number overflow parsing '1e999'");  // in words, not exception tags
}

// glTF scenes rendered by `orvex360 render FILE` through the built plugin folder, checked pixel by
// pixel.

// A camera a scale of 0 collapses would see nothing: refused, not rendered as an empty image.
TEST(GltfRenderCommand, ACameraCollapsedByAScaleOfZeroIsRefused) {
  TempFolder folder;
  GltfBuilder collapsed = Valid();
  collapsed.Json()["nodes"][1]["scale"] = {1, 0, 1};
  collapsed.WriteGltf(folder.File("flat.gltf"));
  const CommandResult run = RenderCommand(folder, "flat.gltf -s 8x8 --samples 1 -o flat.png");
  EXPECT_EQ(run.exitCode, 1);
  files::ExpectHolds(run.output, {"a scale of 0", "would see nothing"});
  EXPECT_FALSE(fs::exists(folder.File("flat.png")));
}

// A red square of `size` metres centred at `centre`, facing along `axis`.
void AddRedSquare(GltfBuilder& builder, const std::vector<float>& centre, float size, int axis) {
  builder.Node({{"mesh", builder.Square(centre, size, axis, builder.Material(1, 0, 0))}});
}

TEST(GltfRenderCommand, ASquareAppearsInTheDirectionItLies) {
  TempFolder folder;
  GltfBuilder right, up;
  AddRedSquare(right, {5, 0, 0}, 4.0f, 0);
  right.WriteGlb(folder.File("right.glb"));
  AddRedSquare(up, {0, 5, 0}, 4.0f, 1);
  AddRedSquare(up, {0, -50, 0}, 1.0f, 1);  // a second mesh, far below, out of the dome's view
  up.WriteGltf(folder.File("up.gltf"));
  const struct {
    const char* scene;
    Int32 redX, redY;
    std::vector<std::pair<Int32, Int32>> clear;
  } cases[] = {
      // Without a camera in the file the view looks along +Z from the origin: +X is u = 0.75.
      {"right.glb -c panorama -s 64x32", 47, 16, {{16, 16}, {32, 16}}},
      // The square spans 44 degrees around the zenith; 60 degrees off it is sky.
      {"up.gltf -c fulldome -s 64x64", 32, 32, {{32, 32 + 21}}},
  };
  for (const auto& c : cases) {
    ExpectRendered(folder, c.scene + std::string(" --samples 1 -o out.exr"));
    const FloatImage image = render_test::ReadImage(folder.File("out.exr"));
    EXPECT_EQ(Dominant(image, c.redX, c.redY), 'r') << c.scene;
    for (const auto& [x, y] : c.clear) EXPECT_NE(Dominant(image, x, y), 'r') << c.scene;
  }
}

// A camera walking 10 m along glTF -Z in one second, a small red square 1 m to the right of where it
// arrives.
TEST(GltfRenderCommand, AnAnimatedCameraMovesAcrossFramesAndItsStereoEyesWithIt) {
  TempFolder folder;
  GltfBuilder builder;
  AddRedSquare(builder, {1, 0, -10}, 0.6f, 0);
  const int camera = builder.Node({{"name", "Walker"}, {"camera", builder.Camera(0.8, 1.0)}});
  builder.Animate(camera, "translation", {0, 1}, {0, 0, 0, 0, 0, -10});
  builder.WriteGltf(folder.File("walk.gltf"));
  const CommandResult run = ExpectRendered(
      folder, "walk.gltf -c panorama -s 64x32 --samples 1 --frames all -o walk_#.exr --scene-camera Walker");
  // The range is the animation's: frames 0 to 30 at 30 frames a second.
  EXPECT_TRUE(fs::exists(folder.File("walk_30.exr"))) << run.output;
  EXPECT_FALSE(fs::exists(folder.File("walk_31.exr")));
  EXPECT_NE(Dominant(render_test::ReadImage(folder.File("walk_0.exr")), 47, 16), 'r');
  EXPECT_EQ(Dominant(render_test::ReadImage(folder.File("walk_30.exr")), 47, 16), 'r');

  // The sequence starts at frame 0, where the eyes were first placed; by frame 30 they must have
  // followed the camera.
  ExpectRendered(folder,
                 "walk.gltf -c panorama -s 128x32 --samples 1 --frames 0-30 "
                 "--stereo on --stereo-output side-by-side -o eyes_#.exr");
  const FloatImage eyes = render_test::ReadImage(folder.File("eyes_30.exr"));
  // Each eye fills its half; both stand where the camera is at frame 30.
  EXPECT_EQ(Dominant(eyes, 47, 16), 'r');
  EXPECT_EQ(Dominant(eyes, 64 + 47, 16), 'r');
}

// `--frames all` is the frames the keys span at 30 frames a second. Key times are stored as floats,
// so the last key of a 60-frame animation lies a hair above frame 59 (59/30 s as a float); a key
// between two frames needs the next one to show its pose; times far along keep the rule.
TEST(GltfRenderCommand, AllFramesAreTheFramesTheKeysSpan) {
  TempFolder folder;
  const struct {
    float lastKey;
    int lastFrame;
  } cases[] = {{59.0f / 30.0f, 59}, {1.95f, 59}, {2.0f, 60}, {100001.0f / 30.0f, 100001}};
  for (const auto& c : cases) {
    GltfBuilder builder;
    const int camera = builder.Node({{"camera", builder.Camera(0.8, 1.0)}});
    builder.Animate(camera, "translation", {0.0f, c.lastKey}, {0, 0, 0, 0, 0, -1});
    builder.WriteGltf(folder.File("keys.gltf"));
    const Imported imported(folder.File("keys.gltf"));
    EXPECT_EQ(imported.doc->GetMaxTime().GetFrame(30.0), c.lastFrame) << c.lastKey;
  }
  GltfBuilder builder;
  const int camera = builder.Node({{"camera", builder.Camera(0.8, 1.0)}});
  builder.Animate(camera, "translation", {0.0f, 59.0f / 30.0f}, {0, 0, 0, 0, 0, -1});
  builder.WriteGltf(folder.File("walk.gltf"));
  const CommandResult run = ExpectRendered(folder, "walk.gltf -s 4x4 --samples 1 --frames all -o f_#.png");
  EXPECT_TRUE(fs::exists(folder.File("f_59.png"))) << run.output;
  EXPECT_FALSE(fs::exists(folder.File("f_60.png")));
}

}  // namespace
