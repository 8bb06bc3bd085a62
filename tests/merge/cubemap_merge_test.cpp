#include "merge_fixture.h"

// Every layout, mono and side by side, is checked cell by cell through real renders in
// tests/stereo; a stereo cubemap's anaglyph is not rendered there.

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
