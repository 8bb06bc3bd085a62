#include "recorder_effect.h"
#include "runtime/console.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// The host's multi-camera mechanism, watched from an effect of the test's own that asks for
// several cameras: camera k traces only the columns x with x % cameras == k, and the effect's
// merge takes every pixel from the last camera.

namespace {

class MultiCamera : public RenderSequence {
 protected:
  void SetUp() override {
    RenderSequence::SetUp();
    seen_.info = VIDEOPOSTINFO_CUSTOMLENS;
    Settings().SetBool(RDATA_STEREO, true);
    console::SetEcho(false);
    console::Clear();
  }

  std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> calls;
    std::copy_if(seen_.calls.begin(), seen_.calls.end(), std::back_inserter(calls),
                 [&prefix](const std::string& call) { return call.rfind(prefix, 0) == 0; });
    return calls;
  }
};

// Each pixel is as opaque as the camera its colour came from: here the last camera, which traced
// only every other column.
TEST_F(MultiCamera, EachCameraRendersBetweenItsPhasesThenTheEffectMergesAndAlphaFollowsTheMerge) {
  seen_.cameras = 2;
  const FloatImage frame = render_test::RenderFrame(doc_, RenderOptions());
  const std::vector<std::string> expected = {"notify start=1 external=1",
                                             "allocate editor=0 external=1",
                                             "info",
                                             "count stereo=1",
                                             "execute 1 open frame 0",
                                             "execute 2 open frame 0",
                                             "camera 0",
                                             "execute 4 open frame 0",
                                             "execute 4 close frame 0",
                                             "camera 1",
                                             "execute 4 open frame 0",
                                             "execute 4 close frame 0",
                                             "merge 2 of 8x4",
                                             "execute 2 close frame 0",
                                             "execute 1 close frame 0",
                                             "free",
                                             "notify start=0 external=1"};
  EXPECT_EQ(seen_.calls, expected);
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
  EXPECT_EQ(CallsStartingWith("camera ").size(), 6u);
  EXPECT_EQ(CallsStartingWith("execute 4 open").size(), 6u);
  EXPECT_EQ(CallsStartingWith("merge ").front(), "merge 6 of 8x4");
}

// Only the running render's stereo switch counts: on in the document or switched on by the effect
// at render start, which leaves the document's own settings alone.
TEST_F(MultiCamera, TheStereoSwitchOfTheRunningRenderDecides) {
  seen_.cameras = 2;
  Settings().SetBool(RDATA_STEREO, false);
  EXPECT_EQ(Render(RenderOptions()), "");
  EXPECT_TRUE(CallsStartingWith("count").empty());
  EXPECT_EQ(CallsStartingWith("execute 4 open").size(), 1u);

  seen_.calls.clear();
  seen_.switchStereoOn = true;
  EXPECT_EQ(Render(RenderOptions()), "");
  EXPECT_EQ(CallsStartingWith("count"), std::vector<std::string>{"count stereo=1"});
  EXPECT_EQ(CallsStartingWith("execute 4 open").size(), 2u);
  EXPECT_FALSE(Settings().GetBool(RDATA_STEREO));
}

TEST_F(MultiCamera, EditorRendersAndSingleCameraAnswersRenderOneImage) {
  seen_.cameras = 2;
  RenderOptions editor;
  editor.editor = true;
  EXPECT_EQ(Render(editor), "");
  seen_.cameras = 1;
  EXPECT_EQ(Render(RenderOptions()), "");
  EXPECT_EQ(CallsStartingWith("execute 4 open").size(), 2u);
  EXPECT_TRUE(CallsStartingWith("merge").empty());
}

TEST_F(MultiCamera, ARefusedMergeWritesCameraZeroSaysSoAndFails) {
  seen_.cameras = 2;
  seen_.mergeAccepts = false;
  FloatImage frame;
  std::string error;
  const bool rendered = RenderDocument(
      doc_, RenderOptions(),
      [&frame](const FloatImage& image, Int32, std::string&) {
        frame = image;
        return true;
      },
      error);
  EXPECT_FALSE(rendered);
  EXPECT_NE(error.find("refused to merge the camera images of frame 0; camera 0's image was written"),
            std::string::npos)
      << error;
  const std::vector<std::string> lines = console::Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "[host] merge failed: writing camera 0's image"),
            lines.end());
  ASSERT_EQ(frame.width, 8);
  for (Int32 x = 0; x < 8; ++x) EXPECT_EQ(frame.Pixel(x, 1)[3], x % 2 == 0 ? 1.0f : 0.0f) << x;
}

TEST_F(MultiCamera, CameraImagesThatDoNotFitIntoMemoryFailBeforeRendering) {
  seen_.cameras = 1000000;
  Settings().SetFloat(RDATA_XRES, 64.0);
  Settings().SetFloat(RDATA_YRES, 64.0);
  const std::string error = Render(RenderOptions());
  EXPECT_NE(error.find("1000000 camera images of 64 x 64 pixels need 65.5 GB"), std::string::npos) << error;
  EXPECT_TRUE(CallsStartingWith("execute").empty());
  EXPECT_EQ(seen_.calls.back(), "notify start=0 external=1");
}

}  // namespace
