#include "merge_fixture.h"

// The merge cases the real renders in tests/stereo never reach: each side-by-side layout and flip,
// every interlace pattern, the anaglyph methods and swapped eyes are checked there, through real
// renders, pixel for pixel.

namespace {

using merge_scenes::EyeSplit;

TEST_F(MergeFixture, AnUnknownInterlacePatternAlternatesRows) {
  merge_scenes::SetStereoPair(State(), 5, 4, EyeSplit::kNone);
  merge_scenes::SetInterlaced(State(), 7);
  MakeSignedImages(2, 5, 4);
  ASSERT_TRUE(Merge());
  for (Int32 y = 0; y < 4; ++y)
    for (Int32 x = 0; x < 5; ++x) EXPECT_EQ(CameraAt(x, y), y % 2) << x << ", " << y;
}

// Eye slot 0's camera is one colour, slot 1's another, both over the whole 5 x 5 frame.
class AnaglyphMerge : public MergeFixture {
 protected:
  static constexpr Vector kSlot0{0.2, 0.4, 0.6};
  static constexpr Vector kSlot1{0.1, 0.5, 0.9};

  void SetUp() override {
    MergeFixture::SetUp();
    merge_scenes::SetStereoPair(State(), 5, 5, EyeSplit::kNone);
    MakeImages(2, 5, 5, [](Int32 k, Int32, Int32) { return k == 0 ? kSlot0 : kSlot1; });
  }

  void ExpectOut(Int32 x, Int32 y, const Vector& expected) {
    EXPECT_NEAR((Out(x, y) - expected).GetLength(), 0.0, 1e-6) << x << ", " << y;
  }
};

TEST_F(AnaglyphMerge, FisheyeCornersOutsideTheDomeKeepEyeSlot0) {
  merge_scenes::SetAnaglyph(State(), 2, 3, 1.0);
  State().lens.projection = orvex::Projection::kFisheye;
  State().currentArea = State().eyes[0].area;
  ASSERT_TRUE(Merge());
  ExpectOut(2, 2, Vector());
  ExpectOut(2, 0, Vector());
  ExpectOut(0, 0, kSlot0);
  ExpectOut(4, 4, kSlot0);
}

TEST_F(AnaglyphMerge, NoKnownStereoModeGivesBlack) {
  ASSERT_TRUE(Merge());
  ExpectOut(1, 1, Vector());
}

}  // namespace
