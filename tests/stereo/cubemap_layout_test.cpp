#include "geometry/cubemap_layout.h"
#include "geometry/cube_face.h"
#include "module_render_fixture.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag_params.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

// Every cubemap layout rendered in an environment that encodes direction: each cell of the frame
// holds its face (every pixel looks into that face's quarter of the sphere, the cell as a whole
// straight along the face's axis), faces that touch in a cross meet without a jump, and cells
// without a face stay transparent black.

namespace {

using render_test::AngleDegrees;
using render_test::ColourDirection;

constexpr Int32 kCell = 12;  // pixels per cell side
// Neighbouring pixels across a seam both lie on the cube's edge.
constexpr Float kSeamDegrees = 2.0;

// The axis each face looks along, indexed by face: left, right, down, up, back, front.
constexpr Vector kFaceAxes[] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};

// One cell of the frame: its face (-1 for none) and its first pixel.
struct Cell {
  Int32 face = -1;
  Int32 x = 0;
  Int32 y = 0;
};

// A layout's settings and the faces its frame shows, row by row ("." for no face; 0 to 5 for left,
// right, down, up, back, front), written out by hand so that the render is checked against the
// convention, not against the layout code it runs.
struct LayoutCase {
  const char* name;
  Int32 layout, crossStart;
  const char* grid;
  Int32 singleFace = orvex::kCubeFaceFront;
  std::array<Int32, 6> slots = {1, 0, 3, 2, 5, 4};
};
void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.grid; }

class CubemapRender : public ModuleRender, public testing::WithParamInterface<LayoutCase> {
 protected:
  // A cubemap camera in the empty scene with the effect's layout settings; the frame has square
  // cells of kCell pixels, `eyes` layouts side by side.
  void Configure(const LayoutCase& c, Int32 eyes = 1) {
    grid_ = c.grid;
    columns_ = static_cast<Int32>(grid_.find('|'));
    rows_ = static_cast<Int32>(std::count(grid_.begin(), grid_.end(), '|'));
    AddCamera(CameraKind::Cubemap, columns_ * kCell * eyes, rows_ * kCell);
    SetEffect(ORVEXVP_CUBE_LAYOUT, GeData(c.layout));
    SetEffect(ORVEXVP_CUBE_FACE, GeData(c.singleFace));
    SetEffect(ORVEXVP_CUBE_CROSS_START, GeData(c.crossStart));
    for (Int32 slot = 0; slot < 6; ++slot) SetEffect(ORVEXVP_CUBE_SLOT1 + slot, GeData(c.slots[slot]));
  }

  Cell CellAt(Int32 column, Int32 row, Int32 eyeX = 0) const {
    const char face = grid_[row * (columns_ + 1) + column];
    return {face == '.' ? -1 : face - '0', eyeX + column * kCell, row * kCell};
  }

  // Every pixel of a face's cell looks into the face, the cell as a whole along its axis.
  void ExpectFace(const FloatImage& image, const Cell& cell) const {
    const Vector axis = kFaceAxes[cell.face];
    Vector sum;
    for (Int32 y = cell.y; y < cell.y + kCell; ++y) {
      for (Int32 x = cell.x; x < cell.x + kCell; ++x) {
        const Vector d = ColourDirection(image.Pixel(x, y));
        const Float along = Dot(d, axis);
        const Vector across = d - axis * along;
        const Float largestAcross = std::max({std::abs(across.x), std::abs(across.y), std::abs(across.z)});
        EXPECT_GE(along, largestAcross - 0.03) << "face " << cell.face << " pixel " << x << "," << y;
        EXPECT_EQ(image.Pixel(x, y)[3], 1.0f);
        sum += d;
      }
    }
    EXPECT_LT(AngleDegrees(sum, axis), 1.5) << "face " << cell.face;
  }

  static void ExpectEmpty(const FloatImage& image, const Cell& cell) {
    for (Int32 y = cell.y; y < cell.y + kCell; ++y)
      for (Int32 x = cell.x; x < cell.x + kCell; ++x)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(image.Pixel(x, y)[c], 0.0f) << x << "," << y;
  }

  // Checks every cell of one eye's layout starting at column eyeX.
  void ExpectLayout(const FloatImage& image, Int32 eyeX = 0) const {
    for (Int32 row = 0; row < rows_; ++row) {
      for (Int32 column = 0; column < columns_; ++column) {
        const Cell cell = CellAt(column, row, eyeX);
        cell.face < 0 ? ExpectEmpty(image, cell) : ExpectFace(image, cell);
      }
    }
  }

  // Where two faces touch in the layout, the pixels on either side of the seam look the same way.
  void ExpectSeamlessNeighbours(const FloatImage& image) const {
    int seams = 0;
    for (Int32 row = 0; row < rows_; ++row) {
      for (Int32 column = 0; column < columns_; ++column) {
        if (CellAt(column, row).face < 0) continue;
        for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}}) {
          if (column + dx >= columns_ || row + dy >= rows_ || CellAt(column + dx, row + dy).face < 0)
            continue;
          ++seams;
          // The cell's last column or row against the next cell's first.
          for (Int32 i = 0; i < kCell; ++i) {
            const Int32 x = column * kCell + (dx ? kCell - 1 : i);
            const Int32 y = row * kCell + (dy ? kCell - 1 : i);
            EXPECT_LT(AngleDegrees(ColourDirection(image.Pixel(x, y)),
                                   ColourDirection(image.Pixel(x + dx, y + dy))),
                      kSeamDegrees)
                << "seam at " << x << "," << y;
          }
        }
      }
    }
    EXPECT_EQ(seams, 5);  // a cross unfolds the cube along five of its edges
  }

  std::string grid_;
  Int32 columns_ = 0;
  Int32 rows_ = 0;
};

// Crosses meet without a jump wherever their faces touch; strips and grids keep side faces upright.
TEST_P(CubemapRender, EachCellHoldsItsFaceCrossesMeetAndSideFacesStandUpright) {
  Configure(GetParam());
  const FloatImage image = Render();
  ExpectLayout(image);
  if (GetParam().layout <= orvex::kCubemapCrossVertical) return ExpectSeamlessNeighbours(image);
  for (Int32 row = 0; row < rows_; ++row) {
    for (Int32 column = 0; column < columns_; ++column) {
      const Cell cell = CellAt(column, row);
      if (cell.face == orvex::kCubeFaceUp || cell.face == orvex::kCubeFaceDown) continue;
      EXPECT_GT(ColourDirection(image.Pixel(cell.x + kCell / 2, cell.y)).y, 0.5) << "face " << cell.face;
      EXPECT_LT(ColourDirection(image.Pixel(cell.x + kCell / 2, cell.y + kCell - 1)).y, -0.5)
          << "face " << cell.face;
    }
  }
}

constexpr Int32 kHorizontal = orvex::kCubemapCrossHorizontal;
constexpr Int32 kVertical = orvex::kCubemapCrossVertical;

INSTANTIATE_TEST_SUITE_P(
    Layouts, CubemapRender,
    testing::Values(
        LayoutCase{"HorizontalCrossFront0", kHorizontal, 0, "3...|5140|2...|"},
        LayoutCase{"HorizontalCrossFront1", kHorizontal, 1, ".3..|0514|.2..|"},
        LayoutCase{"HorizontalCrossFront2", kHorizontal, 2, "..3.|4051|..2.|"},
        LayoutCase{"HorizontalCrossFront3", kHorizontal, 3, "...3|1405|...2|"},
        LayoutCase{"VerticalCrossFront0", kVertical, 0, "051|.2.|.4.|.3.|"},
        LayoutCase{"VerticalCrossFront1", kVertical, 1, ".3.|051|.2.|.4.|"},
        LayoutCase{"VerticalCrossFront2", kVertical, 2, ".4.|.3.|051|.2.|"},
        LayoutCase{"VerticalCrossFront3", kVertical, 3, ".2.|.4.|.3.|051|"},
        LayoutCase{"HorizontalStrip", orvex::kCubemapStripHorizontal, 1, "103254|"},
        LayoutCase{"VerticalStrip", orvex::kCubemapStripVertical, 1, "1|0|3|2|5|4|"},
        LayoutCase{
            "Grid3x2", orvex::kCubemapBlock3x2, 1, "543|210|", orvex::kCubeFaceFront, {5, 4, 3, 2, 1, 0}},
        LayoutCase{"Grid2x3", orvex::kCubemapBlock2x3, 1, "12|05|34|"},
        LayoutCase{"SingleFace", orvex::kCubemapSingleFace, 1, "3|", orvex::kCubeFaceUp}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

// A stereo cubemap side by side: each eye's half holds the whole cross.
TEST_F(CubemapRender, StereoCubemapHoldsACrossPerEye) {
  Configure({"", kHorizontal, 1, ".3..|0514|.2..|"}, 2);
  Settings().SetBool(RDATA_STEREO, true);
  SetEffect(ORVEXVP_STEREO_MODE, GeData(ORVEXVP_STEREO_MODE_SIDE_BY_SIDE));
  SetTag(ORVEXTAG_ZERO_PARALLAX_MODE, GeData(Int32(0)));
  const FloatImage image = Render();
  ExpectLayout(image, 0);
  ExpectLayout(image, columns_ * kCell);
}

}  // namespace
