#include "render_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

namespace {

using render_test::LinesStartingWith;

// One `orvex360 view` run: its exit, the drawing calls it logged and the PNG it wrote.
struct ViewRun {
  CommandResult command;
  std::vector<std::string> log;
  FloatImage image;
};

ViewRun View(const std::string& arguments) {
  const render_test::TempFolder folder;
  ViewRun run;
  run.command = render_test::ToolCommand(folder, "view " + arguments + " -o view.png --draw-log draw.log");
  std::ifstream lines(folder.File("draw.log"));
  for (std::string line; std::getline(lines, line);) run.log.push_back(line);
  if (run.command.exitCode == 0) run.image = render_test::ReadImage(folder.File("view.png"));
  return run;
}

// Whether a pixel within `radius` of (x, y) shows the guide's colour (0.8, 0.7, 0.0) as 8 bits.
bool GuideNear(const ViewRun& run, int x, int y, int radius = 1) {
  for (int j = std::max(0, y - radius); j <= std::min(run.image.height - 1, y + radius); ++j)
    for (int i = std::max(0, x - radius); i <= std::min(run.image.width - 1, x + radius); ++i) {
      const Float32* p = run.image.Pixel(i, j);
      if (std::abs(p[0] * 255 - 204) <= 3 && std::abs(p[1] * 255 - 178) <= 3 && p[2] * 255 <= 3) return true;
    }
  return false;
}

bool AnyGuidePixel(const ViewRun& run) {
  for (int y = 0; y < run.image.height; ++y)
    for (int x = 0; x < run.image.width; ++x)
      if (GuideNear(run, x, y, 0)) return true;
  return false;
}

TEST(ViewCommand, GuideColourLandsWhereTheProjectionPredicts) {
  // From 300 units behind the fisheye camera, a 36 mm lens: the cap's rim (radius 70 at the camera's
  // plane) is a circle of 70 / 300 * 400 pixels around the centre, its pole the centre itself.
  const ViewRun run = View("empty -s 400x400 -c fisheye --from 0,0,-300 --look-at 0,0,0");
  ASSERT_EQ(run.command.exitCode, 0) << run.command.output;
  const int rim = static_cast<int>(std::lround(70.0 / 300.0 * 400.0));
  for (const auto& [x, y] : {std::pair{200 + rim, 200}, {200 - rim, 200}, {200, 200 + rim}, {200, 200 - rim}})
    EXPECT_TRUE(GuideNear(run, x, y)) << x << "," << y;
  EXPECT_TRUE(GuideNear(run, 200, 200));
  EXPECT_FALSE(GuideNear(run, 5, 5, 4));
}

// The guide's drawing calls (all but the pass's own line naming the tag) and whether its colour
// shows, per view. A scene file links its camera for renders; the editor view still draws the chosen
// kind's guide and looks through the camera only when asked. Views inside the guide or at the camera
// are drawn with the guide around them. Bad views are refused in data/commands.tsv.
TEST(ViewCommand, EachViewDrawsTheGuideOfItsKindUnlessThroughTheCameraOrWithTheTagOff) {
  const std::string plaza = std::string(ORVEX_SOURCE_DIR) + "/scenes/plaza.gltf -s 96x64 -c ";
  const struct {
    std::string arguments;
    size_t guideDraws;
    bool guideShown;
  } views[] = {
      {"demo -s 160x90 -c panorama", 190 + 703, true},
      {"demo -s 160x90 -c panorama --through-camera", 0, false},
      {"demo -s 160x90 -c panorama --set ORVEXTAG_ENABLE=0", 0, false},
      {"empty -s 80x60 -c panorama --from 0,0,0 --look-at 0,0,100", 190 + 703, true},
      {"empty -s 80x60 -c panorama --from 10,5,0 --look-at 0,0,100", 190 + 703, true},
      {plaza + "fisheye", 137 + 370, true},
      {plaza + "panorama", 190 + 703, true},
      {plaza + "fisheye --through-camera", 0, false},
  };
  for (const auto& view : views) {
    const ViewRun run = View(view.arguments);
    ASSERT_EQ(run.command.exitCode, 0) << view.arguments << ": " << run.command.output;
    const size_t draws =
        LinesStartingWith(run.log, "Draw").size() - LinesStartingWith(run.log, "Draw \"").size();
    EXPECT_EQ(draws, view.guideDraws) << view.arguments;
    EXPECT_EQ(AnyGuidePixel(run), view.guideShown) << view.arguments;
  }
  EXPECT_NE(View(plaza + "fisheye").image.rgba,
            View(plaza + "fisheye --from 2000,1500,2000 --look-at 0,0,0").image.rgba);
}

}  // namespace
