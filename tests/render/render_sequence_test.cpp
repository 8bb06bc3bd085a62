#include "render/renderer.h"
#include "render_test_support.h"
#include "runtime/plugin_registry.h"
#include "scene/scene_library.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <vector>

// The renderer's side of the seam, watched by an effect of the test's own: which calls arrive, in
// which order, with what.

namespace {

constexpr Int32 kRecorderId = 990001;
constexpr Int32 kWrittenBackId = 7777;

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
};
Seen* g_seen = nullptr;

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
    render->SetRenderData(settings);
    return RENDERRESULT_OK;
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
    if (vps->vp == VIDEOPOSTCALL_RENDER && !vps->open) {
      VPBuffer* buffer = vps->render->GetBuffer(VPBUFFER_RGBA, 0);
      g_seen->bufferWidth = buffer ? buffer->GetBw() : -1;
    }
    return RENDERRESULT_OK;
  }

  void CreateRay(Ray* ray, Float x, Float y) override {
    g_seen->rays++;
    const Float offX = x - std::round(x);
    const Float offY = y - std::round(y);
    if (offX != 0.0 || offY != 0.0) g_seen->rayOffGrid++;
    if (std::abs(offX) > 0.5 || std::abs(offY) > 0.5) g_seen->rayBeyondHalf++;
    const bool noRay = std::round(x) < g_seen->zeroRayColumns;
    ray->p = Vector();
    ray->v = noRay ? Vector() : Vector(0.0, 0.0, 1.0);
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

  // Renders and counts the delivered frames; the error when the render fails.
  std::string Render(const RenderOptions& options, int* frames = nullptr) {
    std::string error;
    int delivered = 0;
    const bool rendered = RenderDocument(
        doc_, options,
        [&delivered](const FloatImage& image, Int32, std::string&) {
          EXPECT_TRUE(render_test::IsFinite(image));
          ++delivered;
          return true;
        },
        error);
    if (frames) *frames = delivered;
    return rendered ? std::string() : error;
  }

  Seen seen_;
  BaseDocument* doc_ = nullptr;
  BaseVideoPost* effect_ = nullptr;
};

TEST_F(RenderSequence, CallsEveryPhaseInOrderAroundEachFrame) {
  RenderOptions options;
  options.firstFrame = 2;
  options.lastFrame = 3;
  int frames = 0;
  EXPECT_EQ(Render(options, &frames), "");
  EXPECT_EQ(frames, 2);
  const std::vector<std::string> expected = {"notify start=1 external=1",
                                             "allocate editor=0 external=1",
                                             "info",
                                             "execute 1 open frame 2",
                                             "execute 2 open frame 2",
                                             "execute 4 open frame 2",
                                             "execute 4 close frame 2",
                                             "execute 2 close frame 2",
                                             "execute 2 open frame 3",
                                             "execute 4 open frame 3",
                                             "execute 4 close frame 3",
                                             "execute 2 close frame 3",
                                             "execute 1 close frame 3",
                                             "free",
                                             "notify start=0 external=1"};
  EXPECT_EQ(seen_.calls, expected);
  EXPECT_FALSE(CheckIsRunning(CHECKISRUNNING_EXTERNALRENDERING));
}

TEST_F(RenderSequence, EditorRenderIsAnnouncedAsNotExternal) {
  RenderOptions options;
  options.editor = true;
  EXPECT_EQ(Render(options), "");
  ASSERT_GE(seen_.calls.size(), 2u);
  EXPECT_EQ(seen_.calls[0], "notify start=1 external=0");
  EXPECT_EQ(seen_.calls[1], "allocate editor=1 external=0");
  EXPECT_EQ(seen_.calls.back(), "notify start=0 external=0");
  EXPECT_FALSE(CheckIsRunning(CHECKISRUNNING_EDITORRENDERING));
}

TEST_F(RenderSequence, SettingsWrittenBackApplyToTheRunningRenderOnly) {
  EXPECT_EQ(Render(RenderOptions()), "");
  EXPECT_TRUE(seen_.settingsApplied);
  EXPECT_EQ(Settings().GetFloat(kWrittenBackId), 0.0);
  EXPECT_EQ(seen_.bufferWidth, 8);
}

TEST_F(RenderSequence, ASwitchedOffEffectIsNeverCalled) {
  effect_->SetBit(BIT_VPDISABLED);
  EXPECT_EQ(Render(RenderOptions()), "");
  EXPECT_TRUE(seen_.calls.empty());
}

TEST_F(RenderSequence, ZeroRaysStayTransparentAndEveryPixelIsPostProcessed) {
  seen_.info = VIDEOPOSTINFO_CUSTOMLENS | VIDEOPOSTINFO_EXECUTEPIXEL | VIDEOPOSTINFO_EXECUTELINE;
  seen_.zeroRayColumns = 3;
  const FloatImage image = render_test::RenderFrame(doc_, RenderOptions());
  ASSERT_EQ(image.width, 8);
  for (Int32 y = 0; y < image.height; ++y) {
    for (Int32 x = 0; x < image.width; ++x) {
      const Float32* pixel = image.Pixel(x, y);
      if (x < 3) {
        EXPECT_EQ(pixel[0] + pixel[1] + pixel[2] + pixel[3], 0.0f) << x << "," << y;
      } else {
        EXPECT_EQ(pixel[3], 1.0f) << x << "," << y;
        EXPECT_GT(pixel[2], 0.0f) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(seen_.pixelPosts, 32);
  EXPECT_EQ(seen_.linePosts, 4);
}

TEST_F(RenderSequence, OneSampleAsksForIntegerPixelsMoreSamplesJitterWithinHalfAPixel) {
  seen_.info = VIDEOPOSTINFO_CUSTOMLENS;
  EXPECT_EQ(Render(RenderOptions()), "");
  EXPECT_EQ(seen_.rays, 32);
  EXPECT_EQ(seen_.rayOffGrid, 0);

  RenderOptions sampled;
  sampled.samples = 9;
  EXPECT_EQ(Render(sampled), "");
  EXPECT_EQ(seen_.rays, 32 + 32 * 9);
  EXPECT_GT(seen_.rayOffGrid, 32 * 8);
  EXPECT_EQ(seen_.rayBeyondHalf, 0);
}

TEST_F(RenderSequence, BadSettingsFailBeforeAnyEffectIsCalled) {
  struct Case {
    Float width;
    Float height;
    Float fps;
    const char* expected;
  };
  for (const Case& bad : {Case{0.0, 4.0, 30.0, "image size"}, Case{8.0, -4.0, 30.0, "image size"},
                          Case{std::nan(""), 4.0, 30.0, "image size"}, Case{1e9, 4.0, 30.0, "image size"},
                          Case{60000.0, 60000.0, 30.0, "memory"}, Case{8.0, 4.0, 0.0, "frame rate"}}) {
    Settings().SetFloat(RDATA_XRES, bad.width);
    Settings().SetFloat(RDATA_YRES, bad.height);
    Settings().SetFloat(RDATA_FRAMERATE, bad.fps);
    EXPECT_NE(Render(RenderOptions()).find(bad.expected), std::string::npos)
        << bad.width << "x" << bad.height;
  }
  Settings().SetFloat(RDATA_XRES, 8.0);
  Settings().SetFloat(RDATA_YRES, 4.0);
  Settings().SetFloat(RDATA_FRAMERATE, 30.0);
  RenderOptions unreadable;
  unreadable.environment = "/nonexistent/sky.exr";
  EXPECT_NE(Render(unreadable).find("/nonexistent/sky.exr"), std::string::npos);
  RenderOptions backwards;
  backwards.firstFrame = 5;
  backwards.lastFrame = 4;
  EXPECT_NE(Render(backwards).find("frame range"), std::string::npos);
  EXPECT_TRUE(seen_.calls.empty());
}

TEST_F(RenderSequence, AFailedFrameStopsTheRenderButClosesEveryPhase) {
  RenderOptions options;
  options.lastFrame = 4;
  std::string error;
  int delivered = 0;
  EXPECT_FALSE(RenderDocument(
      doc_, options,
      [&delivered](const FloatImage&, Int32, std::string& sinkError) {
        sinkError = "disk full";
        return ++delivered < 1;
      },
      error));
  EXPECT_EQ(error, "disk full");
  EXPECT_EQ(delivered, 1);
  ASSERT_GE(seen_.calls.size(), 3u);
  EXPECT_EQ(seen_.calls[seen_.calls.size() - 3], "execute 1 close frame 0");
  EXPECT_EQ(seen_.calls.back(), "notify start=0 external=1");
}

}  // namespace
