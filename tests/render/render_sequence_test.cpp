#include "recorder_effect.h"
#include "render_checks.h"
#include "runtime/console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The renderer's side of the seam, watched by an effect of the test's own: which calls arrive, in
// which order, with what; and the host's multi-camera mechanism, where the effect asks for several
// cameras, camera k traces only the columns x with x % cameras == k, and the effect's merge takes
// every pixel from the last camera.

namespace {

// The recorded calls, joined by " | ".
std::string Calls(const Seen& seen) { return render_test::Joined(seen.calls); }

TEST_F(RenderSequence, CallsEveryPhaseInOrderAroundEachFrame) {
  RenderOptions options;
  options.firstFrame = 2;
  options.lastFrame = 3;
  int frames = 0;
  EXPECT_EQ(Render(options, &frames), "");
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(
      Calls(seen_),
      "notify start=1 external=1 | allocate editor=0 external=1 | info | execute 1 open frame 2 | "
      "execute 2 open frame 2 | execute 4 open frame 2 | execute 4 close frame 2 | execute 2 close frame 2 | "
      "execute 2 open frame 3 | execute 4 open frame 3 | execute 4 close frame 3 | execute 2 close frame 3 | "
      "execute 1 close frame 3 | free | notify start=0 external=1");
  EXPECT_FALSE(CheckIsRunning(CHECKISRUNNING_EXTERNALRENDERING));
  // Settings written back at allocation apply to the running render only.
  EXPECT_TRUE(seen_.settingsApplied);
  EXPECT_EQ(Settings().GetFloat(kWrittenBackId), 0.0);
  EXPECT_EQ(seen_.bufferWidth, 8);
}

TEST_F(RenderSequence, EditorRenderIsAnnouncedAsNotExternalAndASwitchedOffEffectIsNeverCalled) {
  RenderOptions options;
  options.editor = true;
  EXPECT_EQ(Render(options), "");
  EXPECT_TRUE(Calls(seen_).starts_with("notify start=1 external=0 | allocate editor=1 external=0 | "));
  EXPECT_TRUE(Calls(seen_).ends_with(" | notify start=0 external=0"));
  EXPECT_FALSE(CheckIsRunning(CHECKISRUNNING_EDITORRENDERING));

  seen_.calls.clear();  // a switched-off effect is never called
  effect_->SetBit(BIT_VPDISABLED);
  EXPECT_EQ(Render(options), "");
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
    Float width, height, fps;
    const char* environment;
    Int32 firstFrame;
    const char* expected;
  };
  for (const Case& bad :
       {Case{0.0, 4.0, 30.0, "", 0, "image size"}, Case{8.0, -4.0, 30.0, "", 0, "image size"},
        Case{std::nan(""), 4.0, 30.0, "", 0, "image size"}, Case{1e9, 4.0, 30.0, "", 0, "image size"},
        Case{60000.0, 60000.0, 30.0, "", 0, "memory"}, Case{8.0, 4.0, 0.0, "", 0, "frame rate"},
        Case{8.0, 4.0, 30.0, "/nonexistent/sky.exr", 0, "/nonexistent/sky.exr"},
        Case{8.0, 4.0, 30.0, "", 1, "frame range"}}) {
    Settings().SetFloat(RDATA_XRES, bad.width);
    Settings().SetFloat(RDATA_YRES, bad.height);
    Settings().SetFloat(RDATA_FRAMERATE, bad.fps);
    RenderOptions options;
    options.environment = bad.environment;
    options.firstFrame = bad.firstFrame;  // after the last frame, 0
    EXPECT_NE(Render(options).find(bad.expected), std::string::npos) << bad.expected;
  }
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
  EXPECT_TRUE(Calls(seen_).ends_with("execute 1 close frame 0 | free | notify start=0 external=1"));
}

// An effect that answers a failure stops the render with a message naming it; what it refused is
// never written, and the render still ends with every phase closed.
TEST_F(RenderSequence, AnEffectsRefusalFailsTheRenderAndNothingIsWritten) {
  effect_->SetName("Recorder");
  seen_.allocateAnswer = RENDERRESULT_OUTOFMEMORY;
  int frames = -1;
  EXPECT_EQ(Render(RenderOptions(), &frames),
            "the effect \"Recorder\" refused to start the render (out of memory)");
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(seen_.calls.back(), "notify start=0 external=1");

  seen_.calls.clear();
  seen_.allocateAnswer = RENDERRESULT_OK;
  seen_.frameAnswer = RENDERRESULT_USERBREAK;
  RenderOptions options;
  options.lastFrame = 3;
  EXPECT_EQ(Render(options, &frames), "the effect \"Recorder\" refused frame 0 (stopped by the user)");
  EXPECT_EQ(frames, 0);
  EXPECT_TRUE(Calls(seen_).ends_with("execute 1 close frame 0 | free | notify start=0 external=1"));
}

class MultiCamera : public RenderSequence {
 protected:
  void SetUp() override {
    RenderSequence::SetUp();
    seen_.info = VIDEOPOSTINFO_CUSTOMLENS;
    Settings().SetBool(RDATA_STEREO, true);
    console::SetEcho(false);
    console::Clear();
  }

  size_t CallsStartingWith(const std::string& prefix) const {
    return render_test::LinesStartingWith(seen_.calls, prefix).size();
  }
};

// Each pixel is as opaque as the camera its colour came from: here the last camera, which traced
// only every other column.
TEST_F(MultiCamera, EachCameraRendersBetweenItsPhasesThenTheEffectMergesAndAlphaFollowsTheMerge) {
  seen_.cameras = 2;
  const FloatImage frame = render_test::RenderFrame(doc_, RenderOptions());
  EXPECT_EQ(Calls(seen_),
            "notify start=1 external=1 | allocate editor=0 external=1 | info | count stereo=1 | "
            "execute 1 open frame 0 | execute 2 open frame 0 | camera 0 | execute 4 open frame 0 | "
            "execute 4 close frame 0 | camera 1 | execute 4 open frame 0 | execute 4 close frame 0 | "
            "merge 2 of 8x4 | execute 2 close frame 0 | execute 1 close frame 0 | free | notify start=0 "
            "external=1");
  ASSERT_EQ(frame.width, 8);
  for (Int32 x = 0; x < 8; ++x) {
    const Float32* pixel = frame.Pixel(x, 1);
    EXPECT_EQ(pixel[3], x % 2 == 1 ? 1.0f : 0.0f) << x;
    EXPECT_EQ(pixel[2] > 0.0f, x % 2 == 1) << x;
  }
}

TEST_F(MultiCamera, EveryCameraIsAskedForItsPlacementAndRefusalsStillRender) {
  seen_.cameras = 6;
  EXPECT_EQ(Render(RenderOptions()), "");
  EXPECT_EQ(CallsStartingWith("camera "), 6u);
  EXPECT_EQ(CallsStartingWith("execute 4 open"), 6u);
  EXPECT_EQ(CallsStartingWith("merge 6 of 8x4"), 1u);
}

// Only the running render's stereo switch counts: on in the document or switched on by the effect
// at render start, which leaves the document's own settings alone.
TEST_F(MultiCamera, TheStereoSwitchOfTheRunningRenderDecides) {
  seen_.cameras = 2;
  Settings().SetBool(RDATA_STEREO, false);
  EXPECT_EQ(Render(RenderOptions()), "");
  EXPECT_EQ(CallsStartingWith("count"), 0u);
  EXPECT_EQ(CallsStartingWith("execute 4 open"), 1u);

  seen_.calls.clear();
  seen_.switchStereoOn = true;
  EXPECT_EQ(Render(RenderOptions()), "");
  EXPECT_EQ(render_test::LinesStartingWith(seen_.calls, "count"), std::vector<std::string>{"count stereo=1"});
  EXPECT_EQ(CallsStartingWith("execute 4 open"), 2u);
  EXPECT_FALSE(Settings().GetBool(RDATA_STEREO));
}

TEST_F(MultiCamera, EditorRendersAndSingleCameraAnswersRenderOneImage) {
  seen_.cameras = 2;
  RenderOptions editor;
  editor.editor = true;
  EXPECT_EQ(Render(editor), "");
  seen_.cameras = 1;
  EXPECT_EQ(Render(RenderOptions()), "");
  EXPECT_EQ(CallsStartingWith("execute 4 open"), 2u);
  EXPECT_EQ(CallsStartingWith("merge"), 0u);
}

TEST_F(MultiCamera, ARefusedMergeWritesCameraZeroSaysSoAndFails) {
  seen_.cameras = 2;
  seen_.mergeAccepts = false;
  FloatImage frame;
  const std::string error = Render(RenderOptions(), nullptr, &frame);
  EXPECT_NE(error.find("refused to merge the camera images of frame 0; camera 0's image was written"),
            std::string::npos)
      << error;
  EXPECT_EQ(render_test::LinesStartingWith(console::Lines(), "[host] merge failed: writing camera 0's image")
                .size(),
            1u);
  ASSERT_EQ(frame.width, 8);
  for (Int32 x = 0; x < 8; ++x) EXPECT_EQ(frame.Pixel(x, 1)[3], x % 2 == 0 ? 1.0f : 0.0f) << x;
}

// After the first frame each camera is asked only within the columns it answered (here camera 0 the
// even columns 0 to 6, camera 1 the odd ones 1 to 7: 7 of 8 columns each), and what it leaves is
// still transparent black: the merge takes camera 1's whole image, column 0 included.
TEST_F(MultiCamera, LaterFramesAskOnlyEachCamerasAreaAndGiveTheFirstFramesImage) {
  seen_.cameras = 2;
  RenderOptions options;
  options.lastFrame = 2;
  std::vector<std::vector<Float32>> frames;
  std::string error;
  ASSERT_TRUE(RenderDocument(
      doc_, options,
      [&frames](const FloatImage& image, Int32, std::string&) {
        frames.emplace_back(image.rgba.begin(), image.rgba.end());
        return true;
      },
      error))
      << error;
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[1], frames[0]);
  EXPECT_EQ(frames[2], frames[0]);
  EXPECT_EQ(seen_.rays.load(), 2 * 8 * 4 + 2 * (2 * 7 * 4));
}

TEST_F(MultiCamera, CameraImagesThatDoNotFitIntoMemoryFailBeforeRendering) {
  seen_.cameras = 1000000;
  Settings().SetFloat(RDATA_XRES, 64.0);
  Settings().SetFloat(RDATA_YRES, 64.0);
  const std::string error = Render(RenderOptions());
  EXPECT_NE(error.find("1000000 camera images of 64 x 64 pixels need 65.5 GB"), std::string::npos) << error;
  EXPECT_EQ(CallsStartingWith("execute"), 0u);
  EXPECT_EQ(seen_.calls.back(), "notify start=0 external=1");
}

}  // namespace
