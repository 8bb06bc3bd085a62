#include "merge_fixture.h"

#include <tuple>

namespace {

using merge_scenes::EyeSplit;

// The flips turn the lens while rendering; the merge places each camera image as it is.
class SideBySideMerge : public MergeFixture,
                        public ::testing::WithParamInterface<std::tuple<Bool, Bool, Bool>> {};

TEST_P(SideBySideMerge, EachHalfComesFromItsEyesCamera) {
  const auto [horizontal, flipU, flipV] = GetParam();
  merge_scenes::SetStereoPair(State(), 6, 4, horizontal ? EyeSplit::kHorizontal : EyeSplit::kVertical);
  State().stereoSideBySide = 1;
  for (orvex::SubView* view : {&State().eyes[0], &State().eyes[1], &State().faces[0]}) {
    view->flipU = flipU;
    view->flipV = flipV;
  }
  MakeSignedImages(2, 6, 4);
  ASSERT_TRUE(Merge());
  for (Int32 y = 0; y < 4; ++y)
    for (Int32 x = 0; x < 6; ++x) EXPECT_EQ(CameraAt(x, y), horizontal ? x / 3 : y / 2) << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(BothLayoutsEveryFlip, SideBySideMerge,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool(), ::testing::Bool()));

TEST_F(MergeFixture, SideBySideOddWidthLeavesTheLastColumnBlack) {
  merge_scenes::SetStereoPair(State(), 5, 2, EyeSplit::kHorizontal);
  State().stereoSideBySide = 1;
  MakeSignedImages(2, 5, 2);
  ASSERT_TRUE(Merge());
  for (Int32 x = 0; x < 5; ++x) EXPECT_EQ(CameraAt(x, 1), x < 2 ? 0 : x < 4 ? 1 : -1) << x;
}

struct InterlaceCase {
  const char* name;
  Int32 pattern;
  Int32 (*expectedCamera)(Int32 x, Int32 y);
};

class InterlacedMerge : public MergeFixture, public ::testing::WithParamInterface<InterlaceCase> {};

TEST_P(InterlacedMerge, AlternatesTheEyes) {
  merge_scenes::SetStereoPair(State(), 5, 4, EyeSplit::kNone);
  merge_scenes::SetInterlaced(State(), GetParam().pattern);
  MakeSignedImages(2, 5, 4);
  ASSERT_TRUE(Merge());
  for (Int32 y = 0; y < 4; ++y)
    for (Int32 x = 0; x < 5; ++x)
      EXPECT_EQ(CameraAt(x, y), GetParam().expectedCamera(x, y)) << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(
    EveryPattern, InterlacedMerge,
    ::testing::Values(InterlaceCase{"Rows", 0, [](Int32, Int32 y) { return y % 2; }},
                      InterlaceCase{"Columns", 1, [](Int32 x, Int32) { return x % 2; }},
                      InterlaceCase{"Checkerboard", 2, [](Int32 x, Int32 y) { return (x + y % 2) % 2; }},
                      InterlaceCase{"UnknownIsRows", 7, [](Int32, Int32 y) { return y % 2; }}),
    [](const ::testing::TestParamInfo<InterlaceCase>& info) { return std::string(info.param.name); });

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

TEST_F(AnaglyphMerge, OptimizedWithGammaAboveOneEverywhere) {
  merge_scenes::SetAnaglyph(State(), 0, 3, 2.0);
  ASSERT_TRUE(Merge());
  ExpectOut(0, 0, Vector(std::sqrt(0.7 * 0.4 + 0.3 * 0.6), 0.5, 0.9));
  ExpectOut(4, 3, Vector(std::sqrt(0.7 * 0.4 + 0.3 * 0.6), 0.5, 0.9));
}

TEST_F(AnaglyphMerge, FisheyeCornersOutsideTheDomeKeepEyeSlot0) {
  merge_scenes::SetAnaglyph(State(), 2, 3, 1.0);
  State().isFisheye = 1;
  State().currentArea = State().eyes[0].area;
  ASSERT_TRUE(Merge());
  ExpectOut(2, 2, Vector());
  ExpectOut(2, 0, Vector());
  ExpectOut(0, 0, kSlot0);
  ExpectOut(4, 4, kSlot0);
}

TEST_F(AnaglyphMerge, WithSwappedEyesRedStillComesFromSlot0WhichHoldsTheRightEye) {
  merge_scenes::SetAnaglyph(State(), 0, 1, 1.0);
  State().swapEyes = true;
  State().eyes[0].index = 1;
  State().eyes[1].index = 0;
  ASSERT_TRUE(Merge());
  ExpectOut(3, 1, Vector(kSlot0.x, kSlot1.y, kSlot1.z));
}

TEST_F(AnaglyphMerge, NoKnownStereoModeGivesBlack) {
  ASSERT_TRUE(Merge());
  ExpectOut(1, 1, Vector());
}

}  // namespace
