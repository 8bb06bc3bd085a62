#include "geometry/cubemap_layout.h"

#include "test_support.h"

#include <string>

namespace orvex {
namespace {

// The grid's rows as text, "." for an empty cell; a face outside the grid shows as "!".
std::string Grid(const CubemapSettings& settings, CubemapLayout layout = {}) {
  BuildCubemapLayout(settings, layout);
  std::string text;
  for (Int32 row = 0; row < CubemapLayout::kMaxCells; ++row) {
    for (Int32 column = 0; column < CubemapLayout::kMaxCells; ++column) {
      const Int32 face = layout.cells[column][row].index;
      const bool inside = column < layout.gridSize.x && row < layout.gridSize.y;
      if (inside || face >= 0) text += !inside ? '!' : face < 0 ? '.' : static_cast<char>('0' + face);
    }
    if (row < layout.gridSize.y) text += '|';
  }
  return text;
}

CubemapSettings Layout(Int32 kind, Int32 crossStart = 1) {
  return {.layout = kind,
          .singleFace = 2,
          .slots = {0, 1, 2, 3, 4, 5},
          .crossStart = crossStart,
          .tagEditorFace = 3};
}

// Every layout's faces at the front positions 0 to 3, with default and reordered slots, are rendered
// and checked cell by cell in tests/stereo/cubemap_layout_test.cpp; here what those renders never set.
TEST(CubemapLayoutTest, CrossStartsWrapIncludingNegativeOnes) {
  for (Int32 start : {4, -400}) EXPECT_EQ(Grid(Layout(kCubemapCrossHorizontal, start)), "3...|5140|2...|");
  EXPECT_EQ(Grid(Layout(kCubemapCrossHorizontal, -1)), "...3|1405|...2|");
  EXPECT_EQ(Grid(Layout(kCubemapCrossVertical, -3)), ".3.|051|.2.|.4.|");
}

TEST(CubemapLayoutTest, FreeAndSingleLayoutsSkipFacesOutsideTheCube) {
  CubemapSettings settings = Layout(kCubemapStripHorizontal);
  settings.slots = {-1, 6, 5, 100, -7, 0};
  EXPECT_EQ(Grid(settings), "..5..0|");
  settings = Layout(kCubemapSingleFace);
  settings.singleFace = 6;
  EXPECT_EQ(Grid(settings), ".|");
}

TEST(CubemapLayoutTest, UnknownLayoutsLeaveAnEmptyGridAndRebuildsResetEveryCell) {
  CubemapLayout used;
  used.cells[3][3].index = 2;
  used.cells[3][3].rotation = 90;
  used.cells[3][3].matrix.offset = Vector(1.0, 2.0, 3.0);
  EXPECT_EQ(Grid(Layout(7), used) + Grid(Layout(-1), used), "");
  BuildCubemapLayout(Layout(7), used);
  EXPECT_EQ(used.cells[3][3].rotation, 0);
  EXPECT_EQ(used.cells[3][3].matrix.offset, Vector(1.0, 2.0, 3.0));
}

}  // namespace
}  // namespace orvex
