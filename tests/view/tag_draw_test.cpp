#include "linked_module.h"
#include "orvex360camvp/orvex360camvp.h"
#include "orvextag/orvextag_params.h"
#include "paint/view_pass.h"
#include "render/separation_map.h"
#include "render_checks.h"

#include <numbers>
#include <tuple>

namespace {

// The tag's Draw through a redraw of the document's view, its drawing calls counted.
class TagDraw : public LinkedModuleTest {
 protected:
  void SetUp() override {
    LinkedModuleTest::SetUp();
    tag = scene->AddTaggedCamera();
    ASSERT_NE(tag, nullptr);
    view_pass::SetViewSize(scene->doc->GetActiveBaseDraw(), 32, 24);
    scene->doc->GetActiveRenderData()->GetDataInstance()->SetBool(RDATA_STEREO, true);
  }

  size_t Count(const std::string& prefix) {
    std::vector<std::string> log;
    FloatImage image;
    std::string error;
    EXPECT_TRUE(view_pass::Redraw(scene->doc, image, &log, error)) << error;
    return render_test::LinesStartingWith(log, prefix).size();
  }

  BaseContainer& Data() { return *tag->GetDataInstance(); }
  BaseTag* tag = nullptr;
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

}  // namespace
