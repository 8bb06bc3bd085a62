// A frame of a sequence is the frame rendered alone. After its first frame a sequence asks each
// camera's lens only where it answered before and keeps its memory from frame to frame, so a camera
// area learned wrongly, or a camera image left over from the frame before, shows here.
#include "render_checks.h"

#include <gtest/gtest.h>

namespace {

using namespace render_test;

struct Case {
  const char* name;
  const char* camera;
};

class SequenceFrame : public ::testing::TestWithParam<Case> {};

TEST_P(SequenceFrame, EqualsTheFrameRenderedAlone) {
  const TempFolder folder;
  const std::string scene = std::string("'") + ORVEX_SOURCE_DIR + "/scenes/plaza.gltf' " + GetParam().camera;
  const std::string dated = "SOURCE_DATE_EPOCH=1700000000";
  ExpectRendered(folder, scene + " --frames 0-2 -o seq_#.png", dated);
  ExpectRendered(folder, scene + " --frames 2 -o alone_#.png", dated);
  const auto sequence = files::ReadBytes(folder.File("seq_2.png"));
  ASSERT_FALSE(sequence.empty());
  EXPECT_EQ(sequence, files::ReadBytes(folder.File("alone_2.png")));
}

INSTANTIATE_TEST_SUITE_P(
    Cameras, SequenceFrame,
    ::testing::Values(
        Case{"CubemapGrid", "-c cubemap --cube-layout grid-3x2 -s 96x64"},
        Case{"CubemapCross", "-c cubemap --cube-layout vertical-cross -s 48x64"},
        Case{"StereoCubemap", "-c cubemap --stereo on --stereo-output side-by-side -s 128x64"},
        Case{"StereoDomeOverlays",
             "-c fulldome --stereo on --stereo-output side-by-side -s 128x64 --set ORVEXVP_TEXT=Credits"},
        Case{"FisheyeFourSamples", "-c fisheye -s 64x64 --samples 4"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
