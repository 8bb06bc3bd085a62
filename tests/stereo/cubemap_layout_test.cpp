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
// Columns and rows of each layout.
constexpr std::array<Int32, 2> kGrids[] = {{4, 3}, {3, 4}, {6, 1}, {3, 2}, {1, 6}, {2, 3}, {1, 1}};

// One cell of the frame: its face (-1 for none) and its first pixel.
struct Cell {
  Int32 face = -1;
  Int32 x = 0;
  Int32 y = 0;
};

// The face each layout shows in a cell, written out from the layout table so that the render is
// checked against the convention, not against the layout code it runs.
Int32 ExpectedFace(const orvex::CubemapSettings& s, Int32 column, Int32 row) {
  using namespace orvex;
  const Int32 k = s.crossStart;
  const auto along = [k](Int32 index) { return ((index - k) % 4 + 4) % 4; };  // steps after the front
  switch (s.layout) {
    case kCubemapCrossHorizontal: {
      if (row == 1)
        return std::array{kCubeFaceFront, kCubeFaceRight, kCubeFaceBack, kCubeFaceLeft}[along(column)];
      if (along(column) != 0) return -1;
      return row == 0 ? kCubeFaceUp : kCubeFaceDown;
    }
    case kCubemapCrossVertical: {
      if (column == 1)
        return std::array{kCubeFaceFront, kCubeFaceDown, kCubeFaceBack, kCubeFaceUp}[along(row)];
      if (along(row) != 0) return -1;
      return column == 0 ? kCubeFaceLeft : kCubeFaceRight;
    }
    case kCubemapStripHorizontal:
      return s.slots[column];
    case kCubemapStripVertical:
      return s.slots[row];
    case kCubemapBlock3x2:
      return s.slots[row * 3 + column];
    case kCubemapBlock2x3:
      return s.slots[column * 3 + row];
    default:
      return s.singleFace;
  }
}

class CubemapRender : public ModuleRender {
 protected:
  // A cubemap camera in the empty scene with the effect's layout settings; the frame has square
  // cells of kCell pixels and starts at column `eyeColumns` of each eye for stereo frames.
  void Configure(const orvex::CubemapSettings& settings, Int32 eyes = 1) {
    settings_ = settings;
    columns_ = kGrids[settings.layout][0];
    rows_ = kGrids[settings.layout][1];
    AddCamera(CameraKind::Cubemap, columns_ * kCell * eyes, rows_ * kCell);
    SetEffect(ORVEXVP_CUBE_LAYOUT, GeData(settings.layout));
    SetEffect(ORVEXVP_CUBE_FACE, GeData(settings.singleFace));
    SetEffect(ORVEXVP_CUBE_CROSS_START, GeData(settings.crossStart));
    for (Int32 slot = 0; slot < 6; ++slot) SetEffect(ORVEXVP_CUBE_SLOT1 + slot, GeData(settings.slots[slot]));
  }

  Cell CellAt(Int32 column, Int32 row, Int32 eyeX = 0) const {
    return {ExpectedFace(settings_, column, row), eyeX + column * kCell, row * kCell};
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

  orvex::CubemapSettings settings_;
  Int32 columns_ = 0;
  Int32 rows_ = 0;
};

orvex::CubemapSettings Layout(Int32 layout, Int32 crossStart = 1) {
  orvex::CubemapSettings settings;
  settings.layout = layout;
  settings.crossStart = crossStart;
  return settings;
}

TEST_F(CubemapRender, CrossesAtEveryFrontPosition) {
  for (const Int32 layout : {orvex::kCubemapCrossHorizontal, orvex::kCubemapCrossVertical}) {
    for (const Int32 start : {0, 1, 2, 3}) {
      SCOPED_TRACE(testing::Message() << "layout " << layout << " front at " << start);
      Configure(Layout(layout, start));
      const FloatImage image = Render();
      ExpectLayout(image);
      ExpectSeamlessNeighbours(image);
      TearDown();
      SetUp();
    }
  }
}

// Strips and grids place the faces by slot, side faces upright.
TEST_F(CubemapRender, StripsAndGridsHoldTheSlotsFaces) {
  for (const Int32 layout : {orvex::kCubemapStripHorizontal, orvex::kCubemapBlock3x2,
                             orvex::kCubemapStripVertical, orvex::kCubemapBlock2x3}) {
    SCOPED_TRACE(layout);
    orvex::CubemapSettings settings = Layout(layout);
    if (layout == orvex::kCubemapBlock3x2)
      settings.slots = {5, 4, 3, 2, 1, 0};  // front, back, up, down, right, left
    Configure(settings);
    const FloatImage image = Render();
    ExpectLayout(image);
    for (Int32 row = 0; row < rows_; ++row) {
      for (Int32 column = 0; column < columns_; ++column) {
        const Cell cell = CellAt(column, row);
        if (cell.face == orvex::kCubeFaceUp || cell.face == orvex::kCubeFaceDown) continue;
        const Float32* top = image.Pixel(cell.x + kCell / 2, cell.y);
        const Float32* bottom = image.Pixel(cell.x + kCell / 2, cell.y + kCell - 1);
        EXPECT_GT(ColourDirection(top).y, 0.5) << "face " << cell.face;
        EXPECT_LT(ColourDirection(bottom).y, -0.5) << "face " << cell.face;
      }
    }
    TearDown();
    SetUp();
  }
}

TEST_F(CubemapRender, SingleFaceLayoutRendersOneCameraOfTheChosenFace) {
  orvex::CubemapSettings settings = Layout(orvex::kCubemapSingleFace);
  settings.singleFace = orvex::kCubeFaceUp;
  Configure(settings);
  ExpectLayout(Render());
}

// A stereo cubemap side by side: each eye's half holds the whole cross.
TEST_F(CubemapRender, StereoCubemapHoldsACrossPerEye) {
  Configure(Layout(orvex::kCubemapCrossHorizontal), 2);
  Settings().SetBool(RDATA_STEREO, true);
  SetEffect(ORVEXVP_STEREO_MODE, GeData(ORVEXVP_STEREO_MODE_SIDE_BY_SIDE));
  SetTag(ORVEXTAG_ZERO_PARALLAX_MODE, GeData(Int32(0)));
  const FloatImage image = Render();
  ExpectLayout(image, 0);
  ExpectLayout(image, columns_ * kCell);
}

}  // namespace
