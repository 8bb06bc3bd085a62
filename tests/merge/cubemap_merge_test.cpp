#include "merge_fixture.h"

namespace {

using merge_scenes::EyeSplit;

constexpr Int32 kCell = 2;  // pixels per cube face side

// The camera whose face covers pixel (x, y) of one eye: faces fill the layout's cells in row
// order; -1 for the empty cells.
Int32 FaceCameraAt(const orvex::CubemapLayout& layout, Int32 x, Int32 y) {
  const Int32 columns = static_cast<Int32>(layout.gridSize.x);
  Int32 slot = 0;
  for (Int32 cell = 0; cell < (y / kCell) * columns + x / kCell; ++cell)
    if (layout.cells[cell % columns][cell / columns].index >= 0) ++slot;
  return layout.cells[x / kCell][y / kCell].index >= 0 ? slot : -1;
}

Vector GridOf(Int32 layoutKind) {
  orvex::CubemapSettings settings;
  settings.layout = layoutKind;
  orvex::CubemapLayout layout;
  orvex::BuildCubemapLayout(settings, layout);
  return layout.gridSize * kCell;
}

class CubemapMerge : public MergeFixture, public ::testing::WithParamInterface<Int32> {};

// One eye: the stereo output mode does not apply.
TEST_P(CubemapMerge, EveryFaceFillsItsCellAndEmptyCellsStayBlack) {
  const Int32 width = static_cast<Int32>(GridOf(GetParam()).x);
  const Int32 height = static_cast<Int32>(GridOf(GetParam()).y);
  merge_scenes::SetCubemap(State(), width, height, 1, EyeSplit::kNone, GetParam());
  merge_scenes::SetAnaglyph(State(), 2, 0, 1.0);
  MakeSignedImages(6, width, height);
  ASSERT_TRUE(Merge());
  for (Int32 y = 0; y < height; ++y)
    for (Int32 x = 0; x < width; ++x)
      EXPECT_EQ(CameraAt(x, y), FaceCameraAt(State().layout, x, y)) << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(SixFaceLayouts, CubemapMerge,
                         ::testing::Values(orvex::kCubemapCrossHorizontal, orvex::kCubemapCrossVertical,
                                           orvex::kCubemapStripHorizontal, orvex::kCubemapBlock3x2,
                                           orvex::kCubemapStripVertical, orvex::kCubemapBlock2x3));

TEST_F(MergeFixture, StereoCubemapSideBySideTakesEachEyesSixCameras) {
  const Int32 eyeWidth = 4 * kCell;
  merge_scenes::SetCubemap(State(), 2 * eyeWidth, 3 * kCell, 2, EyeSplit::kHorizontal,
                           orvex::kCubemapCrossHorizontal);
  State().stereoSideBySide = 1;
  MakeSignedImages(12, 2 * eyeWidth, 3 * kCell);
  ASSERT_TRUE(Merge());
  for (Int32 y = 0; y < 3 * kCell; ++y) {
    for (Int32 x = 0; x < eyeWidth; ++x) {
      const Int32 camera = FaceCameraAt(State().layout, x, y);
      EXPECT_EQ(CameraAt(x, y), camera) << x << ", " << y;
      EXPECT_EQ(CameraAt(eyeWidth + x, y), camera < 0 ? -1 : 6 + camera) << x << ", " << y;
    }
  }
}

TEST_F(MergeFixture, StereoCubemapAnaglyphMixesFaceByFaceAcrossTheEyes) {
  merge_scenes::SetCubemap(State(), 3 * kCell, 2 * kCell, 2, EyeSplit::kNone, orvex::kCubemapBlock3x2);
  merge_scenes::SetAnaglyph(State(), 0, 1, 1.0);  // red from slot 0, green and blue from slot 1
  MakeImages(12, 3 * kCell, 2 * kCell, [](Int32 k, Int32, Int32 y) { return Vector(k, 10.0 * k, y); });
  ASSERT_TRUE(Merge());
  for (Int32 y = 0; y < 2 * kCell; ++y) {
    for (Int32 x = 0; x < 3 * kCell; ++x) {
      const Int32 camera = FaceCameraAt(State().layout, x, y);
      EXPECT_EQ(Out(x, y), Vector(camera, 10.0 * (6 + camera), y)) << x << ", " << y;
    }
  }
}

}  // namespace
