#include "render_test_support.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

// `orvex360 render --save-project` and `--project`: a render made again from its project file is the
// same image, options given beside the project win, and bad project files stop before any output.

namespace {

namespace fs = std::filesystem;
using render_test::RenderCommand;
using render_test::TempFolder;

nlohmann::json ReadJson(const std::string& path) {
  std::ifstream file(path);
  return nlohmann::json::parse(file, nullptr, false);
}

void ExpectSamePixels(const std::string& first, const std::string& second) {
  const FloatImage a = render_test::ReadImage(first), b = render_test::ReadImage(second);
  EXPECT_TRUE(a.width == b.width && a.height == b.height && a.rgba == b.rgba) << first << " and " << second;
}

TEST(ProjectRender, AStereoSceneRenderedFromItsProjectIsTheSameImage) {
  TempFolder folder;
  fs::create_directories(folder.Path() / "scenes");
  fs::create_directories(folder.Path() / "projects");
  fs::copy_file(fs::path(ORVEX_SOURCE_DIR) / "scenes/plaza.gltf", folder.Path() / "scenes/plaza.gltf");
  const CommandResult saved = RenderCommand(
      folder,
      "scenes/plaza.gltf -c panorama -s 96x48 --samples 1 --frames 45 --rotate 10,0,0 --stereo on "
      "--stereo-output side-by-side --separation-gradient --set ORVEXTAG_EYE_SEPARATION=12 -o a.png "
      "--save-project projects/p.json");
  ASSERT_EQ(saved.exitCode, 0) << saved.output;
  const nlohmann::json project = ReadJson(folder.File("projects/p.json"));
  EXPECT_EQ(project["scene"], "../scenes/plaza.gltf");
  EXPECT_EQ(project["tag"]["ORVEXTAG_SEPARATION_MAP_SHADER"]["type"], "shader");
  // The scene resolves against the project's folder, not the working folder.
  const CommandResult loaded = RenderCommand(folder, "--project projects/p.json -o b.png");
  ASSERT_EQ(loaded.exitCode, 0) << loaded.output;
  ExpectSamePixels(folder.File("a.png"), folder.File("b.png"));
}

TEST(ProjectRender, OptionsBesideAProjectApplyOverIt) {
  TempFolder folder;
  const std::string dated = "SOURCE_DATE_EPOCH=86400";
  const CommandResult saved = RenderCommand(
      folder, "-c fulldome -s 64x64 --samples 1 --set ORVEXVP_TEXT=Credits -o a.png --save-project p.json",
      dated);
  ASSERT_EQ(saved.exitCode, 0) << saved.output;
  const CommandResult same = RenderCommand(folder, "--project p.json -o b.png", dated);
  ASSERT_EQ(same.exitCode, 0) << same.output;
  ExpectSamePixels(folder.File("a.png"), folder.File("b.png"));

  const CommandResult changed = RenderCommand(
      folder, "--project p.json -s 32x16 --set ORVEXVP_OVERLAY=0 -o c.png --save-project q.json", dated);
  ASSERT_EQ(changed.exitCode, 0) << changed.output;
  EXPECT_EQ(render_test::ReadImage(folder.File("c.png")).width, 32);
  const nlohmann::json project = ReadJson(folder.File("q.json"));
  EXPECT_EQ(project["render_settings"]["height"]["value"], 16.0);
  EXPECT_EQ(project["effect"]["ORVEXVP_OVERLAY"]["value"], false);
  EXPECT_EQ(project["effect"]["ORVEXVP_TEXT"]["value"], "Credits");
}

}  // namespace
