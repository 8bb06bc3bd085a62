#include "render_checks.h"

#include "geometry/scalar_math.h"
#include "image/image_output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace {

using namespace render_test;

// A view direction of the page and the host direction it looks along (+X right, +Y up, +Z forward).
struct Look {
  double yaw;    // degrees, positive right
  double pitch;  // degrees, positive up
  Vector Direction() const {
    const double y = yaw * orvex::kPi / 180.0;
    const double p = pitch * orvex::kPi / 180.0;
    return {std::sin(y) * std::cos(p), std::sin(p), std::cos(y) * std::cos(p)};
  }
};

struct PreviewCase {
  const char* name;
  const char* render;  // orvex360 render options besides the environment and output
  Look first;
  Look second;
};

constexpr int kShotWidth = 160;
constexpr int kShotHeight = 120;

// One cell of a grid of pages: a page without its control bar, looking along `look`.
std::string GridCell(const std::string& page, const Look& look, int column, int row,
                     const std::string& extra = "") {
  return "<iframe style=\"position:absolute;border:0;left:" + std::to_string(column * kShotWidth) +
         "px;top:" + std::to_string(row * kShotHeight) + "px;width:" + std::to_string(kShotWidth) +
         "px;height:" + std::to_string(kShotHeight) + "px\" src=\"" + page +
         "/index.html?bare&fov=60&yaw=" + std::to_string(look.yaw) + "&pitch=" + std::to_string(look.pitch) +
         extra + "\"></iframe>\n";
}

// One screenshot of a page of `columns` x `rows` cells (Chromium starts once, not once per view).
FloatImage Screenshot(const TempFolder& folder, const std::string& cells, int columns, int rows) {
  std::ofstream(folder.File("grid.html")) << "<!DOCTYPE html><html><body style=\"margin:0\">\n"
                                          << cells << "</body></html>\n";
  const std::string shot = folder.File("grid.png");
  // A private home: its own profile, so parallel tests do not share one (Chromium with
  // --user-data-dir showed blank WebGL canvases here).
  const CommandResult run = RunCommand(
      "HOME='" + folder.File("home") +
      "' chromium --headless=new --no-sandbox --use-angle=swiftshader --enable-unsafe-swiftshader "
      "--hide-scrollbars --allow-file-access-from-files --window-size=" +
      std::to_string(columns * kShotWidth) + "," + std::to_string(rows * kShotHeight) +
      " --virtual-time-budget=3000 --screenshot='" + shot + "' 'file://" + folder.File("grid.html") + "'");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  return ReadImage(shot);
}

// The direction the colour at the centre of a screenshot encodes (display-encoded, as written).
Vector CentreDirection(const FloatImage& shot, int column, int row) {
  const Float32* pixel =
      shot.Pixel(column * kShotWidth + kShotWidth / 2, row * kShotHeight + kShotHeight / 2);
  const Float32 linear[4] = {image_output::DecodeSrgb(pixel[0]), image_output::DecodeSrgb(pixel[1]),
                             image_output::DecodeSrgb(pixel[2]), 1.0f};
  return ColourDirection(linear);
}

// Pixels of row `row` that differ between its first and second cell.
int ChangedPixels(const FloatImage& shot, int row) {
  int changed = 0;
  for (Int32 y = row * kShotHeight; y < (row + 1) * kShotHeight; ++y)
    for (Int32 x = 0; x < kShotWidth; ++x)
      for (int c = 0; c < 3; ++c)
        if (std::abs(shot.Pixel(x, y)[c] - shot.Pixel(x + kShotWidth, y)[c]) > 0.05f) {
          ++changed;
          break;
        }
  return changed;
}

// Each projection shown from inside: looking along a direction shows that direction's colour of
// the environment, and turning the view changes the picture.
TEST(PreviewPage, ShowsEachProjectionAlongTheViewDirection) {
  if (RunCommand("command -v chromium").exitCode != 0)
    GTEST_SKIP() << "chromium is not installed: the page cannot be opened here";
  const TempFolder folder;
  const std::string environment = WriteDirectionEnvironment(folder, 256, 128);
  const PreviewCase cases[] = {
      {"pano", "-c panorama -s 256x128", {0, 0}, {90, 20}},
      {"dome", "-c fulldome -s 256x256 --set ORVEXVP_OVERLAY=0", {0, 30}, {-120, 45}},
      {"cube", "-c cubemap --cube-layout grid-3x2 -s 192x128", {0, 0}, {180, -50}},
  };
  std::string cells;
  for (int row = 0; row < 3; ++row) {
    const PreviewCase& c = cases[row];
    const std::string image = std::string(c.name) + ".png";
    ExpectRendered(folder, std::string("empty ") + c.render + " --env '" + environment + "' -o " + image);
    const CommandResult preview = ToolCommand(folder, "preview " + image + " -o page_" + c.name);
    ASSERT_EQ(preview.exitCode, 0) << preview.output;
    cells += GridCell(std::string("page_") + c.name, c.first, 0, row) +
             GridCell(std::string("page_") + c.name, c.second, 1, row);
  }
  // A top-bottom pair without metadata, the left eye red on top, the right blue below: each eye
  // shows its half.
  const FloatImage redBlue =
      OpaqueImage(64, 64, [](Int32, Int32 y) { return Vector(y < 32 ? 1.0 : 0.0, 0.0, y < 32 ? 0.0 : 1.0); });
  const CommandResult pair = ToolCommand(folder, "preview '" + WriteImage(folder.File("pair.png"), redBlue) +
                                                     "' --projection panorama --stereo side-by-side "
                                                     "--side-layout top-bottom -o page_pair");
  ASSERT_EQ(pair.exitCode, 0) << pair.output;
  cells +=
      GridCell("page_pair", {0, 0}, 0, 3, "&eye=left") + GridCell("page_pair", {0, 0}, 1, 3, "&eye=right");
  const FloatImage shot = Screenshot(folder, cells, 2, 4);
  const Float32* left = shot.Pixel(kShotWidth / 2, 3 * kShotHeight + kShotHeight / 2);
  const Float32* right = shot.Pixel(kShotWidth + kShotWidth / 2, 3 * kShotHeight + kShotHeight / 2);
  EXPECT_GT(left[0], 0.9f);
  EXPECT_LT(left[2], 0.1f);
  EXPECT_LT(right[0], 0.1f);
  EXPECT_GT(right[2], 0.9f);
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(cases[row].name);
    EXPECT_LT(AngleDegrees(CentreDirection(shot, 0, row), cases[row].first.Direction()), 4.0);
    EXPECT_LT(AngleDegrees(CentreDirection(shot, 1, row), cases[row].second.Direction()), 4.0);
    EXPECT_GT(ChangedPixels(shot, row), kShotWidth * kShotHeight / 2);
  }
}

// A video shows on the sphere its own metadata names, held at the frame the URL picks: a panorama
// and the standard 3x2 cubemap (the only cubemap a video can name), each looking where it should
// (video compression moves the colours a little).
TEST(PreviewPage, AVideoShowsOnTheSphereItsMetadataNames) {
  if (RunCommand("command -v chromium").exitCode != 0)
    GTEST_SKIP() << "chromium is not installed: the page cannot be opened here";
  const TempFolder folder;
  const std::string environment = WriteDirectionEnvironment(folder, 256, 128);
  const PreviewCase cases[] = {
      {"pano", "-c panorama -s 256x128", {30, 10}, {-100, -20}},
      {"cube", "-c cubemap --cube-layout grid-3x2 --cube-faces video -s 192x128", {0, 60}, {150, -60}},
  };
  std::string cells;
  for (int row = 0; row < 2; ++row) {
    const PreviewCase& c = cases[row];
    const std::string video = std::string(c.name) + ".mp4";
    ExpectRendered(folder, std::string("empty ") + c.render + " --frames 0-2 --env '" + environment +
                               "' --video-quality 0 -o " + video);
    const CommandResult preview = ToolCommand(folder, "preview " + video + " -o page_" + c.name);
    ASSERT_EQ(preview.exitCode, 0) << preview.output;
    EXPECT_NE(preview.output.find("a video of 3 frames"), std::string::npos) << preview.output;
    cells += GridCell(std::string("page_") + c.name, c.first, 0, row, "&frame=1") +
             GridCell(std::string("page_") + c.name, c.second, 1, row, "&frame=1");
  }
  const FloatImage shot = Screenshot(folder, cells, 2, 2);
  for (int row = 0; row < 2; ++row) {
    SCOPED_TRACE(cases[row].name);
    EXPECT_LT(AngleDegrees(CentreDirection(shot, 0, row), cases[row].first.Direction()), 6.0);
    EXPECT_LT(AngleDegrees(CentreDirection(shot, 1, row), cases[row].second.Direction()), 6.0);
  }
}

}  // namespace
