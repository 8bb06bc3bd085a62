#include "merge_fixture.h"

#include "geometry/cubemap_layout.h"

// The merge cases the real renders in tests/stereo never reach: each side-by-side layout and flip,
// every interlace pattern, the anaglyph methods, swapped eyes and every cubemap layout, mono and
// side by side, are checked there, through real renders, pixel for pixel.

namespace {

TEST_F(MergeFixture, AnUnknownInterlacePatternAlternatesRows) {
  SetStereoPair(5, 4);
  State().stereoOutput = ORVEXVP_STEREO_MODE_INTERLACED;
  State().interlacePattern = 7;
  MakeSignedImages(2, 5, 4);
  ASSERT_TRUE(Merge());
  for (Int32 y = 0; y < 4; ++y)
    for (Int32 x = 0; x < 5; ++x) EXPECT_EQ(Out(x, y), Vector(y % 2 + 1.0, x, y)) << "camera " << y % 2;
}

// A stereo cubemap's anaglyph is not rendered in tests/stereo: the faces of the 3 x 2 block mix
// camera by camera across the eyes.
TEST_F(MergeFixture, StereoCubemapAnaglyphMixesFaceByFaceAcrossTheEyes) {
  PlaceEyes(6, 4, 2);
  orvex::BuildCubemapLayout({.layout = orvex::kCubemapBlock3x2}, State().layout);
  for (Int32 slot = 0; slot < 6; ++slot) {  // faces of two pixels a side in the block's cells, in row order
    State().faces[slot] = State().layout.cells[slot % 3][slot / 3];
    State().faces[slot].area = Area(slot % 3 * 2, slot / 3 * 2, slot % 3 * 2 + 1, slot / 3 * 2 + 1);
  }
  State().facesPerEye = 6;
  State().cameraCount = 12;
  State().lens.projection = orvex::Projection::kCubemap;
  SetAnaglyph(0, 1);  // red from slot 0, green and blue from slot 1
  MakeImages(12, 6, 4, [](Int32 k, Int32, Int32 y) { return Vector(k, 10.0 * k, y); });
  ASSERT_TRUE(Merge());
  for (Int32 y = 0; y < 4; ++y) {
    for (Int32 x = 0; x < 6; ++x) {
      const Int32 camera = 3 * (y / 2) + x / 2;  // the block's cells are all faces, in row order
      EXPECT_EQ(Out(x, y), Vector(camera, 10.0 * (6 + camera), y)) << x << ", " << y;
    }
  }
}

// Eye slot 0's camera is one colour, slot 1's another, both over the whole 5 x 5 frame.
class AnaglyphMerge : public MergeFixture {
 protected:
  static constexpr Vector kSlot0{0.2, 0.4, 0.6};
  static constexpr Vector kSlot1{0.1, 0.5, 0.9};

  void SetUp() override {
    MergeFixture::SetUp();
    SetStereoPair(5, 5);
    MakeImages(2, 5, 5, [](Int32 k, Int32, Int32) { return k == 0 ? kSlot0 : kSlot1; });
  }

  void ExpectOut(Int32 x, Int32 y, const Vector& expected) {
    EXPECT_NEAR((Out(x, y) - expected).GetLength(), 0.0, 1e-6) << x << ", " << y;
  }
};

TEST_F(AnaglyphMerge, FisheyeCornersOutsideTheDomeKeepEyeSlot0) {
  SetAnaglyph(2, 3);
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
