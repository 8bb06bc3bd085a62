#include "render_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

// The orvex360 render command as an artist runs it: the built tool with the built plugin folder.

namespace {

namespace fs = std::filesystem;

using render_test::RenderCommand;

TEST(RenderCommand, RendersTheFulldomeMasterByDefaultAndSaysWhere) {
  render_test::TempFolder folder;
  const CommandResult run = RenderCommand(folder, "--size 32x32 --samples 1");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const fs::path written = folder.Path() / "orvex360-fulldome.png";
  EXPECT_TRUE(fs::exists(written));
  EXPECT_NE(run.output.find("wrote " + written.string() + " (32 x 32, frame 0)"), std::string::npos)
      << run.output;
}

TEST(RenderCommand, SetsRenderTagAndEffectSettings) {
  render_test::TempFolder folder;
  const std::string environment = render_test::WriteDirectionEnvironment(folder, 64, 32);
  const CommandResult run =
      RenderCommand(folder, "empty --camera fisheye --samples 1 --env '" + environment +
                                "' --set width=16 --set height=8 --set ORVEXVP_MASK_MODE=2 "
                                "--set ORVEXTAG_FISHEYE_FOV=90deg -o wide.exr");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("(16 x 8, frame 0)"), std::string::npos) << run.output;
  BaseBitmap* image = BaseBitmap::Alloc();
  ASSERT_EQ(image->Init(Filename(folder.File("wide.exr").c_str())), IMAGERESULT_OK);
  // Without a mask the corner is traced; a 90-degree lens keeps it 64 degrees off the axis, where
  // a 180-degree one would look behind the camera.
  const Vector corner = image->GetPixelFloat(0, 0);
  const Float32 rgba[4] = {Float32(corner.x), Float32(corner.y), Float32(corner.z), 1.0f};
  EXPECT_NEAR(render_test::ColourDirection(rgba).z, std::cos(63.6 / 180.0 * 3.14159265), 0.02);
  BaseBitmap::Free(image);
}

TEST(RenderCommand, JpegWarnsOnceThatItDropsTransparency) {
  render_test::TempFolder folder;
  const auto warnings = [&folder](const std::string& arguments) {
    const CommandResult run = RenderCommand(folder, "-s 32x32 --samples 1 --frames 0-1 " + arguments);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    size_t count = 0;
    for (size_t at = run.output.find("JPEG keeps no alpha"); at != std::string::npos;
         at = run.output.find("JPEG keeps no alpha", at + 1))
      ++count;
    return count;
  };
  EXPECT_EQ(warnings("-c fisheye --set ORVEXVP_MASK_MODE=1 -o dome_#.jpg"), 1u);  // empty corners
  EXPECT_EQ(warnings("-c fisheye --set ORVEXVP_MASK_MODE=1 -o dome_#.png"), 0u);
  EXPECT_EQ(warnings("-c fisheye -o dome_#.jpg"), 0u);  // the circle mask paints the corners black
}

// Bad options, the stereo and cubemap ones among them. (Sizes, frame ranges and unreadable
// environments the renderer itself refuses are checked in render_sequence_test.cpp.)
TEST(RenderCommand, BadInputFailsWithOneClearMessageAndNoFile) {
  render_test::TempFolder folder;
  render_test::ExpectRefusals(
      folder, "--size 16x16 --samples 1",
      {
          {"--size 0x32", "width (width) takes 1 to 65536; got 0"},
          {"--size big", "--size takes WIDTHxHEIGHT"},
          {"-o /nonexistent/folder/dome.png", "does not exist"},
          {"-o dome.bmp", ".exr"},
          {"--camera telescope", "camera kind \"telescope\""},
          {"nowhere", "no scene \"nowhere\""},
          {"--rotate 10,20", "heading,pitch,bank"},
          {"--set NOT_A_SETTING=1", "NOT_A_SETTING"},
          {"--stereo maybe", "--stereo"},
          {"--stereo-output sideways", "sideways"},
          {"--cube-slots right,left", "--cube-slots"},
          {"--flip left-sideways", "--flip"},
          {"--separation-map /nonexistent/map.png",
           "separation map: cannot read the image \"/nonexistent/map.png\""},
          {"--separation-map map.png --separation-gradient", "excludes"},
          {"--camera plain --swap-eyes", "a camera with an Orvex360Cam tag"},
          {"--camera plain --separation-gradient", "a camera with an Orvex360Cam tag"},
          {"--anaglyph-gamma bright", "ORVEXVP_ANAGLYPH_GAMMA"},
          {"--cross-start 9", "ORVEXVP_CUBE_CROSS_START"},
          {"--threads -1", "--threads"},
      });
}

}  // namespace
