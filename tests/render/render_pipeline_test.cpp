#include "geometry/rotation.h"
#include "linked_module.h"
#include "orvex360camvp/orvex360camvp.h"
#include "render/render_record.h"
#include "runtime/console.h"
#include "runtime/host_state.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"

#include <gtest/gtest.h>

// The effect's render-time half driven call by call, with its render state in view: the camera
// questions of the host's multi-camera renders, the areas, eyes and faces of sequence start, and
// the camera phases. (Where stereo rays start is checked exactly by the eye rig's tests and in the
// rendered disparities of tests/stereo.)

namespace {

class RenderPipeline : public LinkedModuleTest {
 protected:
  void SetUp() override {
    LinkedModuleTest::SetUp();
    ASSERT_TRUE(scene->AddTaggedCamera());
    node_ = scene->Effect();
    ASSERT_TRUE(node_);
    effect_ = node_->GetNodeData<Orvex360CamVP>();
  }
  void TearDown() override {
    render_.reset();
    LinkedModuleTest::TearDown();
  }

  BaseContainer& Tag() { return *scene->tag->GetDataInstance(); }
  BaseContainer& RenderSettings() { return *scene->doc->GetActiveRenderData()->GetDataInstance(); }
  RenderState& State() { return effect_->state; }
  BaseObject* Camera() { return scene->tag->GetObject(); }

  // What the host sends and sets for an editor render.
  void StartEditorRender() {
    RenderNotificationData notification{scene->doc, true, false};
    node_->Message(MSG_MULTI_RENDERNOTIFICATION, &notification);
    host_state::SetRendering(CHECKISRUNNING_EDITORRENDERING, true);
  }

  // Render start and sequence start, as the host calls them.
  void StartSequence() {
    render_ = std::make_unique<HostRender>(RenderSettings());
    effect_->AllocateBuffers(node_, render_.get(), scene->doc);
    Execute(VIDEOPOSTCALL_FRAMESEQUENCE, true);
  }

  void Execute(VIDEOPOSTCALL call, Bool open) {
    VideoPostStruct vps;
    vps.vp = call;
    vps.open = open;
    vps.doc = scene->doc;
    vps.render = render_.get();
    effect_->Execute(node_, &vps);
  }

  BaseVideoPost* node_ = nullptr;
  Orvex360CamVP* effect_ = nullptr;
  std::unique_ptr<HostRender> render_;
};

TEST_F(RenderPipeline, CameraInformationPlacesTheEyesHalfTheSeparationApart) {
  Matrix placement = RotY(0.5);
  placement.offset = Vector(10.0, 20.0, 30.0);
  Camera()->SetMl(placement);
  Tag().SetFloat(ORVEXTAG_EYE_SEPARATION, 8.0);
  // The camera search the host's questions rely on.
  effect_->StereoGetCameraCountRenderer(node_, scene->doc, scene->doc->GetActiveRenderData());
  StereoCameraInfo cameras[3];
  for (Int32 k = 0; k < 3; ++k)
    ASSERT_TRUE(effect_->StereoGetCameraInfo(node_, scene->doc, nullptr, nullptr, k, cameras[k])) << k;
  EXPECT_NEAR((cameras[0].m.offset - placement.TransformPoint(Vector(-4.0, 0.0, 0.0))).GetLength(), 0.0,
              1e-12);
  EXPECT_NEAR((cameras[1].m.offset - placement.TransformPoint(Vector(4.0, 0.0, 0.0))).GetLength(), 0.0,
              1e-12);
  EXPECT_EQ(cameras[2].m, cameras[1].m);
  EXPECT_EQ(cameras[0].strName, String("0"));
  EXPECT_EQ(cameras[2].strName, String("2"));

  StereoCameraInfo refused;
  refused.strName = "untouched";
  for (const Int32 index : {3, -1})
    EXPECT_FALSE(effect_->StereoGetCameraInfo(node_, scene->doc, nullptr, nullptr, index, refused)) << index;
  EXPECT_EQ(refused.strName, String("untouched"));
}

// The switch is on only so that the host renders the faces: asked again with the running render's
// settings, a mono cubemap still has one eye; after the render the switch is the document's own.
// (The faces' places in the frame and the camera walk over frames are checked in the cubemap renders
// and the sequences of the render command.)
TEST_F(RenderPipeline, ACubemapsStereoSwitchKeepsSixCamerasWhileItsRenderRuns) {
  Tag().SetInt32(ORVEXTAG_PROJECTION, ORVEXTAG_PROJECTION_CUBEMAP);
  StartSequence();
  ASSERT_EQ(State().cameraCount, 6);
  RenderData* running = RenderData::Alloc();
  running->SetData(render_->GetRenderData(), false);
  EXPECT_EQ(effect_->StereoGetCameraCountRenderer(node_, scene->doc, running), 6);
  EXPECT_EQ(State().eyeCount, 1);
  effect_->FreeBuffers(node_);
  EXPECT_EQ(effect_->StereoGetCameraCountRenderer(node_, scene->doc, running), 12);
  RenderData::Free(running);
}

TEST_F(RenderPipeline, EditorRenderOfACubemapShowsTheTagsFaceAndRestoresTheLayout) {
  RenderSettings().SetFloat(RDATA_XRES, 1920);
  RenderSettings().SetFloat(RDATA_YRES, 1080);
  Tag().SetInt32(ORVEXTAG_PROJECTION, ORVEXTAG_PROJECTION_CUBEMAP);
  Tag().SetInt32(ORVEXTAG_CUBEMAP_FACE, orvex::kCubeFaceUp);
  scene->doc->ExecutePasses(nullptr, true, true, true);  // the tag derives the cross's 4:3
  ASSERT_EQ(Tag().GetFloat(ORVEXTAG_ASPECT), 4.0 / 3.0);
  StartEditorRender();
  StartSequence();
  EXPECT_EQ(State().cameraCount, 1);
  EXPECT_EQ(State().faces[0].index, orvex::kCubeFaceUp);
  // Cubemaps letterbox to square faces, whatever the tag's aspect.
  EXPECT_TRUE(ConsoleHas("PREVIEW start [420.00/0.00] end [1499.00/1079.00] size [1080,1080]"));
  // The editor view shows the tagged camera while the render runs.
  EXPECT_EQ(scene->doc->GetActiveBaseDraw()->GetSceneCamera(scene->doc), Camera());

  Execute(VIDEOPOSTCALL_FRAMESEQUENCE, false);
  EXPECT_EQ(State().layout.gridSize, Vector(4.0, 3.0, 0.0));
  EXPECT_EQ(scene->doc->GetActiveBaseDraw()->GetSceneCamera(scene->doc), nullptr);
  EXPECT_TRUE(ConsoleHas("------- FINISH -------"));
}

TEST_F(RenderPipeline, EditorRendersFollowTheTagsEditorSwitch) {
  Tag().SetBool(ORVEXTAG_EDITOR_RENDER, false);
  StartEditorRender();
  StartSequence();
  EXPECT_EQ(State().enabled, 0);
  EXPECT_EQ(effect_->GetRenderInfo(node_), VIDEOPOSTINFO_0);
  // Closed like any sequence: a switched-off effect does no sequence end either.
  Execute(VIDEOPOSTCALL_FRAMESEQUENCE, false);
  EXPECT_FALSE(ConsoleHas("------- FINISH -------"));
}

TEST_F(RenderPipeline, AViewCameraWithoutTagIsLogged) {
  BaseObject* bare = BaseObject::Alloc(Ocamera);
  scene->doc->InsertObject(bare, nullptr);
  scene->doc->GetActiveBaseDraw()->SetSceneCamera(bare);
  StartSequence();
  EXPECT_TRUE(ConsoleHas("No Orvex tag found! Add a Orvex tag to the active camera."));
  EXPECT_EQ(effect_->GetRenderInfo(node_), VIDEOPOSTINFO_0);
}

}  // namespace
