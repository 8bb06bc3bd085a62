#include "module_reading/separation_map.h"
#include "orvex360camvp/orvex360camvp.h"
#include "paint/view_pass.h"
#include "render_checks.h"
#include "settings/orvextag_params.h"
#include "tagged_camera.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <tuple>
#include <vector>

// The viewport guides: the tag's Draw linked beside the host, around the state a running render
// keeps; then the orvex360 view command through the built plugin folder (draw logs and pixels).

namespace {

using render_test::LinesStartingWith;

// The tag's Draw through a redraw of the document's view, its drawing calls counted.
class TagDraw : public TaggedCameraTest {
 protected:
  void SetUp() override {
    TaggedCameraTest::SetUp();
    view_pass::SetViewSize(scene->doc->GetActiveBaseDraw(), 32, 24);
    scene->doc->GetActiveRenderData()->GetDataInstance()->SetBool(RDATA_STEREO, true);
  }

  size_t Count(const std::string& prefix) {
    std::vector<std::string> log;
    FloatImage image;
    std::string error;
    EXPECT_TRUE(view_pass::Redraw(scene->doc, image, &log, error)) << error;
    return LinesStartingWith(log, prefix).size();
  }
};

TEST_F(TagDraw, UnknownProjectionDrawsNothingNotEvenTheCachedGuide) {
  EXPECT_GT(Count("DrawLine"), 100u);  // the panorama guide, now in the cache
  Data().SetInt32(ORVEXTAG_PROJECTION, 7);
  EXPECT_EQ(Count("Set"), 0u);
  EXPECT_EQ(Count("Draw"), 1u);  // the pass's own line naming the tag
}

TEST_F(TagDraw, StereoDiagramNeitherCreatesTheEffectNorTouchesARunningRender) {
  auto* effect = scene->Effect()->GetNodeData<Orvex360CamVP>();
  // What a running render holds; the render-time camera questions would rewrite it.
  effect->state.cameraCount = 12;
  effect->state.eyeCount = 7;
  effect->state.camera = nullptr;
  EXPECT_EQ(Count("DrawSphere"), 3u);
  EXPECT_EQ(std::tuple(effect->state.cameraCount, effect->state.eyeCount, effect->state.camera),
            std::tuple(12, 7, nullptr));

  BaseVideoPost* node = scene->Effect();
  node->Remove();
  BaseVideoPost::Free(node);
  EXPECT_EQ(Count("DrawSphere"), 1u);  // the head; no effect, no eye markers
  EXPECT_EQ(scene->EffectCount(), 0);
}

TEST_F(TagDraw, NoSeparationWhereTheMapSaysNoneSkipsTheEyes) {
  std::string error;
  ASSERT_TRUE(separation_map::Link(*tag, separation_map::MakePoleFade(), error)) << error;
  EXPECT_EQ(Count("DrawSphere"), 3u);  // at the horizon the map keeps the full separation
  Data().SetFloat(ORVEXTAG_STEREO_DIRECTION_LAT, std::numbers::pi / 2);
  EXPECT_EQ(Count("DrawSphere"), 1u);  // straight up it gives none
}

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

TEST(ViewCommand, GuideColourLandsWhereTheProjectionPredicts) {
  // From 300 units behind the fisheye camera, a 36 mm lens: the cap's rim (radius 70 at the camera's
  // plane) is a circle of 70 / 300 * 400 pixels around the centre, its pole the centre itself.
  const ViewRun run = View("empty -s 400x400 -c fisheye --from 0,0,-300 --look-at 0,0,0");
  ASSERT_EQ(run.command.exitCode, 0) << run.command.output;
  const int rim = static_cast<int>(std::lround(70.0 / 300.0 * 400.0));
  for (const auto& [x, y] :
       {std::pair{200 + rim, 200}, {200 - rim, 200}, {200, 200 + rim}, {200, 200 - rim}, {200, 200}})
    EXPECT_TRUE(GuideNear(run, x, y)) << x << "," << y;
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
    // Anywhere in the image: a radius as large as the image.
    EXPECT_EQ(GuideNear(run, 0, 0, run.image.width + run.image.height), view.guideShown) << view.arguments;
  }
  EXPECT_NE(View(plaza + "fisheye").image.rgba,
            View(plaza + "fisheye --from 2000,1500,2000 --look-at 0,0,0").image.rgba);
}

}  // namespace
