#include "geometry/equirect_grid.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

struct GridCase {
  const char* name;
  Projection projection = Projection::kEquirect;
  bool crop = false;
  Int32 eyeShift = 0;
  Int32 eye = -1;
  bool flipU = false;
  bool flipV = false;
  Int32 faceRotation = 0;
  bool expectGrid = true;
};

// At every whole pixel in and around the area the grid gives what LensDirection gives, to the bit;
// between pixels, and where the lens is no panorama or a view turns a quarter, it leaves the
// answer to LensDirection.
TEST(EquirectGridTest, WholePixelsGiveTheLensDirectionToTheBit) {
  const GridCase cases[] = {
      {"plain"},
      {"cropped", Projection::kEquirect, true},
      {"eye shift, left eye", Projection::kEquirect, false, 24, 0},
      {"eye shift, right eye, flipped", Projection::kEquirect, false, 24, 1, true, true},
      {"half turn", Projection::kEquirect, false, 0, -1, false, false, 180},
      {"quarter turn", Projection::kEquirect, false, 0, -1, false, false, 90, false},
      {"cylinder", Projection::kCylindrical, false, 0, -1, false, false, 0, false},
  };
  const RenderArea area = RenderArea::FromStartAndSize({37, 11, 0}, {96, 40, 0});
  for (const GridCase& c : cases) {
    SCOPED_TRACE(c.name);
    LensSettings lens;
    lens.projection = c.projection;
    lens.pixelScale = Vector(1.0f / 96.0f, 1.0f / 40.0f, 0.0);
    lens.equirectCustom = c.crop;
    lens.uMin = c.crop ? 0.2 : 0.0;
    lens.uMax = c.crop ? 0.7 : 1.0;
    lens.vMin = c.crop ? 0.1 : 0.0;
    lens.vMax = c.crop ? 0.6 : 1.0;
    lens.stereo = c.eyeShift != 0;
    lens.eyeShift = c.eyeShift;
    lens.currentEye.index = c.eye;
    lens.currentEye.flipU = c.flipU;
    lens.currentFace.flipV = c.flipV;
    lens.currentFace.rotation = c.faceRotation;
    const RayPixelBounds bounds = RayBoundsOf(area, lens);
    EquirectGrid grid;
    grid.Prepare(lens, area, bounds);
    Int32 found = 0;
    Int32 wholeInside = 0;
    for (Float y = 11 - 14; y <= 11 + 40 + 14; y += 0.5) {
      for (Float x = 37 - 14; x <= 37 + 96 + 14; x += 0.5) {
        Vector d;
        Float u = -1.0;
        Float v = -1.0;
        wholeInside += x == static_cast<Int32>(x) && y == static_cast<Int32>(y) && bounds.Contains(x, y);
        if (!grid.Find(x, y, d, u, v)) continue;
        ++found;
        ASSERT_TRUE(x == static_cast<Int32>(x) && y == static_cast<Int32>(y) && bounds.Contains(x, y));
        const Vector uv = PixelToUv(area, x, y);
        Float lensU = uv.x;
        Float lensV = uv.y;
        const Vector expected = LensDirection(lens, lensU, lensV);
        ASSERT_EQ(d, expected) << x << " " << y;
        if (expected == Vector()) continue;
        ASSERT_EQ(u, lensU) << x << " " << y;
        ASSERT_EQ(v, lensV) << x << " " << y;
      }
    }
    EXPECT_EQ(found, c.expectGrid ? wholeInside : 0);
  }
}

}  // namespace
}  // namespace orvex
