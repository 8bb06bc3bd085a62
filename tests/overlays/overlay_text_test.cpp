#include "orvex360camvp/overlay_text.h"
#include "orvex360camvp/overlays.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(OverlayText, FramesAndTimesInTheirFormats) {
  EXPECT_EQ(overlay_text::FrameText(42), "000042");
  // 25 fps, document 0 to 250 frames: 251 frames, 10 seconds.
  const BaseTime last(250.0, 25.0);
  EXPECT_EQ(overlay_text::FrameText(overlay_text::FrameOfTime(last, 25.0, 30) -
                                    overlay_text::FrameOfTime(BaseTime(), 25.0, 30) + 1),
            "000251");
  EXPECT_EQ(overlay_text::TimeText(last, 25.0, 30), "000:10.00");
  // Frames made from a time in floating point are not a hair short.
  for (Int32 frame = 0; frame < 300; ++frame)
    ASSERT_EQ(overlay_text::FrameOfTime(BaseTime(frame, 30.0), 30.0, 30), frame) << frame;
  EXPECT_EQ(overlay_text::TimeText(BaseTime(3723.0 * 24 + 17, 24.0), 24.0, 30), "062:03.17");
  EXPECT_EQ(overlay_text::TimeText(BaseTime(59, 29.97), 29.97, 30), "000:01.29");
}

TEST(OverlayText, UnusableFrameRatesFallBackInsteadOfDividing) {
  EXPECT_EQ(overlay_text::FrameOfTime(BaseTime(2.0), 0.0, 30), 60);
  EXPECT_EQ(overlay_text::FrameOfTime(BaseTime(2.0), -5.0, 25), 50);
  EXPECT_EQ(overlay_text::FrameOfTime(BaseTime(2.0), std::nan(""), 0), 0);
  EXPECT_FALSE(overlay_text::TimeText(BaseTime(1e300), 1e300, 0).empty());  // saturated, no overflow
}

TEST(OverlayText, DateHonoursSourceDateEpoch) {
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  EXPECT_EQ(overlay_text::DateText(overlay_text::DateNow()), "14/11/2023 22:13:20");
  setenv("SOURCE_DATE_EPOCH", "not a number", 1);
  EXPECT_EQ(overlay_text::DateText(overlay_text::DateNow()).size(), 19u);  // local time now
  unsetenv("SOURCE_DATE_EPOCH");
}

TEST(OverlayText, LinesSplitAtLineBreaks) {
  EXPECT_EQ(overlay_text::SplitLines("TITLE\nDirected by\n"),
            std::vector<std::string>({"TITLE", "Directed by", ""}));
  EXPECT_EQ(overlay_text::SplitLines(""), std::vector<std::string>({""}));
}

TEST(OverlayGeometry, CornerSquaresOfA2048Dome) {
  RenderState state;
  state.currentArea = orvex::RenderArea(Vector(), Vector(2047, 2047, 0));
  overlays::Geometry(state);
  const OverlayState& overlay = state.overlay;
  EXPECT_EQ(overlay.domeDiameter, 2048.0);
  EXPECT_NEAR(overlay.cornerSize, 299.922656, 1e-6);  // the radius less the inscribed square's half side
  EXPECT_EQ(overlay.cornerTopLeft.GetStart(), Vector());
  EXPECT_EQ(overlay.cornerBottomRight.GetEnd(), Vector(2047, 2047, 0));
  EXPECT_NEAR(overlay.cornerTopRight.GetStart().x, 2047 - overlay.cornerSize, 1e-9);
  EXPECT_NEAR(overlay.cornerBottomLeft.GetStart().y, 2047 - overlay.cornerSize, 1e-9);
  // The corner's inner point lies on the dome circle.
  const Vector inner = overlay.cornerBottomRight.GetStart() - state.currentArea.GetCentre();
  EXPECT_NEAR(inner.GetLength(), overlay.domeRadius, 0.75);
}

}  // namespace
