#pragma once

#include "render/renderer.h"
#include "render_test_support.h"
#include "runtime/plugin_registry.h"
#include "scene/scene_library.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// An effect of the tests' own that records every call the renderer makes, and a fixture that
// renders a small document with it: the renderer's side of the seam, watched from the effect.

inline constexpr Int32 kRecorderId = 990001;
inline constexpr Int32 kWrittenBackId = 7777;

// What the recorder saw; reset by each test.
struct Seen {
  std::vector<std::string> calls;
  Int32 info = VIDEOPOSTINFO_0;
  Int32 zeroRayColumns = 0;  // the lens gives no ray in these first columns
  std::atomic<int> pixelPosts{0};
  std::atomic<int> linePosts{0};
  std::atomic<int> rays{0};
  std::atomic<int> rayOffGrid{0};     // rays away from integer pixel coordinates
  std::atomic<int> rayBeyondHalf{0};  // rays more than half a pixel away from them
  Bool settingsApplied = false;
  Int32 bufferWidth = 0;
  // Multi-camera renders.
  Bool switchStereoOn = false;  // render start turns the running render's stereo switch on
  Int32 cameras = 0;            // the camera count answered
  Bool mergeAccepts = true;
  RENDERRESULT allocateAnswer = RENDERRESULT_OK;
  RENDERRESULT frameAnswer = RENDERRESULT_OK;  // to each frame's opening call
  // Cameras rendered so far - 1; camera k traces only columns x with x % cameras == k, or with
  // `answers` the pixels it accepts.
  Int32 cameraIndex = -1;
  std::function<bool(Int32 camera, Int32 x, Int32 y)> answers;
  std::function<void(VideoPostStruct& vps)> atCameraEnd;  // called as each camera ends
};
inline Seen* g_seen = nullptr;

class RecorderEffect : public VideoPostData {
 public:
  static NodeData* Alloc() { return new RecorderEffect(); }

  Bool Message(GeListNode*, Int32 type, void* data) override {
    if (type != MSG_MULTI_RENDERNOTIFICATION) return true;
    const auto& notification = *static_cast<RenderNotificationData*>(data);
    Record("notify start=" + std::to_string(notification.start) +
           " external=" + std::to_string(notification.external));
    return true;
  }

  RENDERRESULT AllocateBuffers(BaseVideoPost*, Render* render, BaseDocument*) override {
    Record("allocate editor=" + std::to_string(CheckIsRunning(CHECKISRUNNING_EDITORRENDERING)) +
           " external=" + std::to_string(CheckIsRunning(CHECKISRUNNING_EXTERNALRENDERING)));
    BaseContainer settings = render->GetRenderData();
    settings.SetFloat(kWrittenBackId, 1.5);
    if (g_seen->switchStereoOn) settings.SetBool(RDATA_STEREO, true);
    render->SetRenderData(settings);
    return g_seen->allocateAnswer;
  }

  void FreeBuffers(BaseVideoPost*) override { Record("free"); }
  Int32 GetRenderInfo(BaseVideoPost*) override {
    Record("info");
    return g_seen->info;
  }

  RENDERRESULT Execute(BaseVideoPost*, VideoPostStruct* vps) override {
    Record("execute " + std::to_string(vps->vp) + (vps->open ? " open" : " close") + " frame " +
           std::to_string(vps->frame));
    if (vps->vp == VIDEOPOSTCALL_FRAMESEQUENCE && vps->open)
      g_seen->settingsApplied = vps->render->GetRenderData().GetFloat(kWrittenBackId) == 1.5;
    if (vps->vp == VIDEOPOSTCALL_RENDER && vps->open) g_seen->cameraIndex++;
    if (vps->vp == VIDEOPOSTCALL_RENDER && !vps->open) {
      VPBuffer* buffer = vps->render->GetBuffer(VPBUFFER_RGBA, 0);
      g_seen->bufferWidth = buffer ? buffer->GetBw() : -1;
      if (g_seen->atCameraEnd) g_seen->atCameraEnd(*vps);
    }
    return vps->vp == VIDEOPOSTCALL_FRAME && vps->open ? g_seen->frameAnswer : RENDERRESULT_OK;
  }

  void CreateRay(Ray* ray, Float x, Float y) override {
    g_seen->rays++;
    const Float offX = x - std::round(x);
    const Float offY = y - std::round(y);
    if (offX != 0.0 || offY != 0.0) g_seen->rayOffGrid++;
    if (std::abs(offX) > 0.5 || std::abs(offY) > 0.5) g_seen->rayBeyondHalf++;
    const Int32 column = static_cast<Int32>(std::round(x));
    const bool otherCamera =
        g_seen->cameras > 1 && column % g_seen->cameras != g_seen->cameraIndex % g_seen->cameras;
    const Int32 camera = g_seen->cameras > 0 ? g_seen->cameraIndex % g_seen->cameras : 0;
    const bool noRay = g_seen->answers ? !g_seen->answers(camera, column, static_cast<Int32>(std::round(y)))
                                       : column < g_seen->zeroRayColumns || otherCamera;
    ray->p = Vector();
    ray->v = noRay ? Vector() : Vector(0.0, 0.0, 1.0);
  }

  Int32 StereoGetCameraCountRenderer(BaseVideoPost*, BaseDocument*, RenderData* renderData) override {
    Record("count stereo=" + std::to_string(renderData->GetDataInstance()->GetBool(RDATA_STEREO)));
    return g_seen->cameras;
  }

  // Cameras 0 to 2 stand 100 units apart along X; the others are refused.
  Bool StereoGetCameraInfo(BaseVideoPost*, BaseDocument*, BaseDraw*, RenderData*, Int32 index,
                           StereoCameraInfo& info) override {
    Record("camera " + std::to_string(index));
    if (index > 2) return false;
    info.m.offset = Vector(100.0 * index, 0.0, 0.0);
    return true;
  }

  // Every pixel from the last camera.
  Bool StereoMergeImages(BaseVideoPost*, BaseBitmap* destination, const BaseBitmap* const* sources,
                         Int32 count, const BaseContainer&, COLORSPACETRANSFORMATION) override {
    Record("merge " + std::to_string(count) + " of " + std::to_string(sources[0]->GetBw()) + "x" +
           std::to_string(sources[0]->GetBh()));
    for (Int32 k = 1; k < count; ++k) EXPECT_EQ(sources[k]->GetBw(), sources[0]->GetBw());
    if (!g_seen->mergeAccepts) return false;
    for (Int32 y = 0; y < destination->GetBh(); ++y)
      for (Int32 x = 0; x < destination->GetBw(); ++x)
        destination->SetPixelFloat(x, y, sources[count - 1]->GetPixelFloat(x, y));
    return true;
  }

  void ExecutePixel(BaseVideoPost*, PixelPost*, Int32, Int32, Int32) override { g_seen->pixelPosts++; }
  void ExecuteLine(BaseVideoPost*, PixelPost*) override { g_seen->linePosts++; }

 private:
  static void Record(const std::string& call) { g_seen->calls.push_back(call); }
};

class RenderSequence : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(RegisterVideoPostPlugin(kRecorderId, "Recorder", 0, &RecorderEffect::Alloc, "", 0, 0));
  }
  static void TearDownTestSuite() { PluginRegistry::Instance().Clear(); }

  void SetUp() override {
    g_seen = &seen_;
    doc_ = scene_library::NewDocument();
    ASSERT_TRUE(doc_);
    effect_ = BaseVideoPost::Alloc(kRecorderId);
    ASSERT_TRUE(effect_);
    doc_->GetActiveRenderData()->InsertVideoPost(effect_);
    Settings().SetFloat(RDATA_XRES, 8.0);
    Settings().SetFloat(RDATA_YRES, 4.0);
  }
  void TearDown() override {
    BaseDocument::Free(doc_);
    g_seen = nullptr;
  }

  BaseContainer& Settings() { return *doc_->GetActiveRenderData()->GetDataInstance(); }

  // Renders with options_ and keeps the delivered frames; the error when the render fails. A sink
  // refusal makes the sink fail every frame with that error, as a full disk would.
  std::string Render(std::vector<FloatImage>* frames = nullptr) {
    std::string error;
    std::vector<FloatImage> delivered;
    const bool rendered = RenderDocument(
        doc_, options_,
        [this, &delivered](const FloatImage& image, Int32, std::string& sinkError) {
          EXPECT_TRUE(render_test::IsFinite(image));
          delivered.push_back(image);
          sinkError = sinkRefusal_;
          return sinkRefusal_.empty();
        },
        error);
    if (frames) *frames = std::move(delivered);
    return rendered ? std::string() : error;
  }

  Seen seen_;
  BaseDocument* doc_ = nullptr;
  BaseVideoPost* effect_ = nullptr;
  RenderOptions options_;
  std::string sinkRefusal_;
};
