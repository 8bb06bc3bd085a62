#include "render_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

// The stereo and cubemap options of `orvex360 render` as an artist types them.

namespace {

using render_test::DifferentValues;
using render_test::TempFolder;

bool HalvesAlike(const FloatImage& image) {
  const Int32 half = image.height / 2;
  for (Int32 y = 0; y < half; ++y)
    for (Int32 x = 0; x < image.width; ++x)
      for (int c = 0; c < 3; ++c)
        if (std::abs(image.Pixel(x, y)[c] - image.Pixel(x, y + half)[c]) > 1e-6f) return false;
  return true;
}

// The demo panorama's eyes at 32 x 8: each alone, or framed top (left eye) and bottom (right eye).
constexpr const char* kStereo = "demo --camera panorama --samples 1 --threads 1 --stereo on ";

FloatImage RenderStereo(const TempFolder& folder, const std::string& options) {
  render_test::ExpectRendered(folder, kStereo + options + " -o out.exr");
  return render_test::ReadImage(folder.File("out.exr"));
}

// Which shift of `eye`, two columns either way, fits the frame's rows from `top` best.
Int32 BestShift(const FloatImage& frame, Int32 top, const FloatImage& eye) {
  Int32 best = 0;
  for (Int32 shift = -2; shift <= 2; ++shift)
    if (DifferentValues(frame, 0, top, eye, false, false, shift) <
        DifferentValues(frame, 0, top, eye, false, false, best))
      best = shift;
  return best;
}

TEST(StereoCommand, FlipSwapAndShiftOptionsMoveEachEye) {
  TempFolder folder;
  const FloatImage left = RenderStereo(folder, "--size 32x8 --stereo-output single-eye --single-eye left");
  const FloatImage right = RenderStereo(folder, "--size 32x8 --stereo-output single-eye --single-eye right");
  ASSERT_GT(DifferentValues(left, 0, 0, right), 0);  // the eyes must differ for this to mean anything
  const std::string pair = "--size 32x16 --stereo-output side-by-side --side-layout top-bottom ";

  FloatImage frame = RenderStereo(folder, pair + "--flip right-vertical,left-horizontal");
  EXPECT_EQ(DifferentValues(frame, 0, 0, left, true, false), 0);
  EXPECT_EQ(DifferentValues(frame, 0, 8, right, false, true), 0);

  frame = RenderStereo(folder, pair + "--swap-eyes");
  EXPECT_EQ(DifferentValues(frame, 0, 0, right), 0);
  EXPECT_EQ(DifferentValues(frame, 0, 8, left), 0);

  // Two pixels apart: the left eye one column to the right, the right eye one to the left. (Not an
  // exact copy one column over: near boxes' edges differ a little, so the best fit counts.)
  frame = RenderStereo(folder, pair + "--eye-shift 2");
  EXPECT_EQ(BestShift(frame, 0, left), 1);
  EXPECT_EQ(BestShift(frame, 8, right), -1);
}

// A separation map scales the eye distance: a map of 0 makes the eyes alike, the pole gradient
// does not. Values that are no number give no separation; a huge value is limited; the frame is
// never blanked, and the log says so once.
TEST(StereoCommand, SeparationMapsScaleTheEyeDistanceAndUnusableValuesAreDefined) {
  TempFolder folder;
  const Float32 cases[][2] = {{std::numeric_limits<Float32>::quiet_NaN(), 0.0f},
                              {std::numeric_limits<Float32>::infinity(), 0.0f},
                              {1e30f, 100.0f}};  // the value, and the value it means
  const std::string stereo =
      "demo --camera panorama --size 32x16 --samples 1 --stereo on "
      "--stereo-output side-by-side --side-layout top-bottom ";
  for (const auto& [value, meaning] : cases) {
    render_test::WriteUniformImage(folder.File("bad.exr"), 8, 4, value);
    render_test::WriteUniformImage(folder.File("meant.exr"), 8, 4, meaning);
    const CommandResult run =
        render_test::ExpectRendered(folder, stereo + "--separation-map bad.exr -o bad-render.exr");
    EXPECT_EQ(
        render_test::Occurrences(run.output, "Separation map: values that are no number were used as 0"), 1u)
        << run.output;
    render_test::ExpectRendered(folder, stereo + "--separation-map meant.exr -o meant-render.exr");
    const FloatImage image = render_test::ReadImage(folder.File("bad-render.exr"));
    EXPECT_EQ(image.rgba, render_test::ReadImage(folder.File("meant-render.exr")).rgba) << value;
    EXPECT_EQ(image.Pixel(16, 8)[3], 1.0f) << value;
    EXPECT_EQ(HalvesAlike(image), meaning == 0.0f) << value;
  }
  render_test::ExpectRendered(folder, stereo + "--separation-gradient -o faded.exr");
  EXPECT_FALSE(HalvesAlike(render_test::ReadImage(folder.File("faded.exr"))));
}

}  // namespace
