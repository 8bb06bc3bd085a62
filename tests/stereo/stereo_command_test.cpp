#include "render/image_output.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

// The stereo and cubemap options of `orvex360 render` as an artist types them.

namespace {

using render_test::RenderCommand;
using render_test::TempFolder;

bool HalvesAlike(const FloatImage& image) {
  const Int32 half = image.height / 2;
  for (Int32 y = 0; y < half; ++y)
    for (Int32 x = 0; x < image.width; ++x)
      for (int c = 0; c < 3; ++c)
        if (std::abs(image.Pixel(x, y)[c] - image.Pixel(x, y + half)[c]) > 1e-6f) return false;
  return true;
}

TEST(StereoCommand, StereoOutputOptionsShapeTheFrame) {
  TempFolder folder;
  const CommandResult run = RenderCommand(
      folder,
      "demo --camera panorama --size 32x16 --samples 1 --threads 1 --stereo on --stereo-output side-by-side "
      "--side-layout top-bottom --flip right-vertical,left-horizontal --swap-eyes --eye-shift 2 -o pair.exr");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("STEREO ch [1] start [0.00/8.00] end [31.00/15.00] size [32,8]"),
            std::string::npos)
      << run.output;
  EXPECT_FALSE(HalvesAlike(render_test::ReadImage(folder.File("pair.exr"))));
}

TEST(StereoCommand, CubemapOptionsPlaceTheFaces) {
  TempFolder folder;
  const std::string environment = render_test::WriteDirectionEnvironment(folder, 128, 64);
  const CommandResult run = RenderCommand(
      folder, "empty --camera cubemap --size 48x32 --samples 1 --env '" + environment +
                  "' --cube-layout grid-3x2 --cube-slots back,front,up,down,right,left -o grid.exr");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("CUBEMAP AREA ch [5] xy [2,1] start [32.00/16.00] end [47.00/31.00]"),
            std::string::npos)
      << run.output;
  // The first slot holds the back face: its middle looks along -Z.
  const FloatImage image = render_test::ReadImage(folder.File("grid.exr"));
  const Float32* middle = image.Pixel(8, 8);
  EXPECT_LT(render_test::ColourDirection(middle).z, -0.9);
}

TEST(StereoCommand, ASeparationMapOfBlackMakesTheEyesAlike) {
  TempFolder folder;
  FloatImage black;
  ASSERT_TRUE(black.Allocate(8, 4));
  std::string error;
  ASSERT_TRUE(image_output::Write(black, folder.File("black.exr"), error)) << error;
  const std::string stereo =
      "demo --camera panorama --size 32x16 --samples 1 --stereo on "
      "--stereo-output side-by-side --side-layout top-bottom ";
  CommandResult run = RenderCommand(folder, stereo + "--separation-map black.exr -o flat.exr");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(HalvesAlike(render_test::ReadImage(folder.File("flat.exr"))));

  run = RenderCommand(folder, stereo + "--separation-gradient -o faded.exr");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_FALSE(HalvesAlike(render_test::ReadImage(folder.File("faded.exr"))));
}

TEST(StereoCommand, BadStereoOptionsFailWithOneClearMessage) {
  const struct {
    const char* arguments;
    const char* message;
  } cases[] = {
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
  };
  for (const auto& bad : cases) {
    TempFolder folder;
    const CommandResult run = RenderCommand(folder, "--size 16x16 --samples 1 " + std::string(bad.arguments));
    EXPECT_NE(run.exitCode, 0) << bad.arguments;
    EXPECT_NE(run.output.find(bad.message), std::string::npos) << bad.arguments << ": " << run.output;
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path())) << bad.arguments;
  }
}

}  // namespace

namespace {

// Pixels must not depend on how the rows are shared out: the same image at 1, 2 and 4 threads.
TEST(StereoCommand, OutputIsIdenticalAtOneTwoAndFourThreads) {
  TempFolder folder;
  const char* renders[] = {
      "demo --camera panorama --size 48x24",
      "demo --camera panorama --size 48x24 --stereo on --stereo-output anaglyph",
      "demo --camera cubemap --size 48x32 --cube-layout grid-3x2",
  };
  for (const char* render : renders) {
    for (const char* samples : {"1", "4"}) {
      std::vector<Float32> first;
      for (const char* threads : {"1", "2", "4"}) {
        const std::string arguments =
            std::string(render) + " --samples " + samples + " --threads " + threads + " -o out.exr";
        const CommandResult run = RenderCommand(folder, arguments);
        ASSERT_EQ(run.exitCode, 0) << arguments << ": " << run.output;
        const std::vector<Float32> pixels = render_test::ReadImage(folder.File("out.exr")).rgba;
        if (first.empty()) first = pixels;
        EXPECT_EQ(pixels, first) << arguments;
      }
    }
  }
}

}  // namespace
