#include "files_support.h"
#include "gltf_builder.h"
#include "render_test_support.h"

#include "scene/gltf_import.h"
#include "scene/scene_library.h"

#include <gtest/gtest.h>

#include <functional>

// Files from anywhere: each broken or hostile file is refused with a message naming the file and
// the element, before anything large is allocated. (Missing, empty, folder and text files are
// refused through the render command in data/commands.tsv.)

namespace {

using render_test::TempFolder;

struct Outcome {
  bool imported = false;
  std::string error;
  std::string warnings;
};

Outcome Import(const std::string& path) {
  BaseDocument* doc = scene_library::NewDocument();
  GltfScene scene;
  Outcome outcome;
  outcome.imported = ImportGltf(path, doc, scene, outcome.error);
  outcome.warnings = scene.warnings;
  BaseDocument::Free(doc);
  return outcome;
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
         b.Json()["meshes"][0]["primitives"][0]["indices"] = b.Indices({0, 1, 7});
       },
       "meshes[0].primitives[0]: index 7 is outside its 3 points"},
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
    const Outcome outcome = Import(path);
    EXPECT_FALSE(outcome.imported) << bad.message;
    EXPECT_NE(outcome.error.find(path + ": "), std::string::npos) << outcome.error;
    EXPECT_NE(outcome.error.find(bad.message), std::string::npos) << outcome.error;
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
  // Nesting that would exhaust the stack of the JSON reader, in either kind of file.
  files::WriteText(folder.File("deep.gltf"), NestedGltfText(20000));
  const struct {
    std::string path;
    const char* message;
  } cases[] = {
      {folder.File("bad-base64.gltf"), "not a usable glTF 2.0 file"},
      {folder.File("deep.gltf"), "nested deeper than 64 levels"},
      {writeBytes("deep.glb", GlbBytes(NestedGltfText(20000))), "nested deeper than 64 levels"},
      {writeBytes("truncated.glb", std::vector<unsigned char>(glb.begin(), glb.end() - 8)),
       "does not match the file's"},
      {writeBytes("long-chunk.glb", longChunk), "chunk 0 of"},
      {writeBytes("huge-chunk.glb", hugeChunk), "runs past the end of the file"},
      {writeBytes("short.glb", std::vector<unsigned char>(glb.begin(), glb.begin() + 14)), "too short"},
  };
  for (const auto& bad : cases) {
    const Outcome outcome = Import(bad.path);
    EXPECT_FALSE(outcome.imported) << bad.path;
    EXPECT_EQ(outcome.error.rfind(bad.path + ": ", 0), 0u) << outcome.error;
    EXPECT_NE(outcome.error.find(bad.message), std::string::npos) << bad.path << ": " << outcome.error;
  }
}

TEST(GltfHostile, OddTransformsAreRefusedOrFixedWithAWarning) {
  TempFolder folder;
  const std::string path = folder.File("odd.gltf");
  GltfBuilder zeroQuaternion = Valid();
  zeroQuaternion.Json()["nodes"][0]["rotation"] = {0, 0, 0, 0};
  zeroQuaternion.Json()["nodes"][1]["scale"] = {1, 0, 1};
  zeroQuaternion.WriteGltf(path);
  const Outcome fixed = Import(path);
  EXPECT_TRUE(fixed.imported) << fixed.error;
  files::ExpectHolds(fixed.warnings, {"nodes[0]: rotation is a zero quaternion", "nodes[1]: a scale of 0"});

  GltfBuilder infinite = Valid();
  infinite.Json()["nodes"][0]["translation"] = {1, 2, 3};
  std::string text = infinite.GltfText();
  text.replace(text.find("[1,2,3]"), 7, "[1,2,1e999]");
  files::WriteText(path, text);
  const Outcome refused = Import(path);
  EXPECT_FALSE(refused.imported);
  EXPECT_NE(refused.error.find(path + ": "), std::string::npos) << refused.error;
}

}  // namespace
