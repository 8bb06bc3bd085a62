#include "geometry/equirect_grid.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvex {
namespace {

struct GridCase {
  const char* name;
  void (*set)(LensSettings&);
  bool gridded = true;  // false: every pixel is left to LensDirection
};

// At every whole pixel in and around the area the grid gives what LensDirection gives, to the bit;
// between pixels, and where the lens is no panorama or a view turns a quarter, it leaves the
// answer to LensDirection.
TEST(EquirectGridTest, WholePixelsGiveTheLensDirectionToTheBit) {
  const GridCase cases[] = {
      {"plain", [](LensSettings&) {}},
      {"cropped",
       [](LensSettings& l) {
         l.equirectCustom = true, l.uMin = 0.2, l.uMax = 0.7, l.vMin = 0.1, l.vMax = 0.6;
       }},
      {"eye shift, left eye",
       [](LensSettings& l) { l.stereo = true, l.eyeShift = 24, l.currentEye.index = 0; }},
      {"eye shift, right eye, flipped",
       [](LensSettings& l) {
         l.stereo = true, l.eyeShift = 24, l.currentEye.index = 1,
         l.currentEye.flipU = l.currentFace.flipV = true;
       }},
      {"half turn", [](LensSettings& l) { l.currentFace.rotation = 180; }},
      {"quarter turn", [](LensSettings& l) { l.currentFace.rotation = 90; }, false},
      {"cylinder", [](LensSettings& l) { l.projection = Projection::kCylindrical; }, false},
  };
  const RenderArea area = RenderArea::FromStartAndSize({37, 11, 0}, {96, 40, 0});
  for (const GridCase& c : cases) {
    SCOPED_TRACE(c.name);
    LensSettings lens;
    c.set(lens);
    lens.pixelScale = Vector(1.0f / 96.0f, 1.0f / 40.0f, 0.0);
    const RayPixelBounds bounds = RayBoundsOf(area, lens);
    EquirectGrid grid;
    grid.Prepare(lens, area, bounds);
    Int32 found = 0, wholeInside = 0;
    for (Float y = 11 - 14; y <= 11 + 40 + 14; y += 0.5) {
      for (Float x = 37 - 14; x <= 37 + 96 + 14; x += 0.5) {
        const bool whole = x == std::trunc(x) && y == std::trunc(y) && bounds.Contains(x, y);
        wholeInside += whole;
        Vector d;
        Float u = -1.0, v = -1.0;
        if (!grid.Find(x, y, d, u, v)) continue;
        ++found;
        ASSERT_TRUE(whole) << x << " " << y;
        const Vector uv = PixelToUv(area, x, y);
        Float lensU = uv.x, lensV = uv.y;
        ASSERT_EQ(d, LensDirection(lens, lensU, lensV)) << x << " " << y;
        ASSERT_TRUE(d == Vector() || (u == lensU && v == lensV)) << x << " " << y;
      }
    }
    EXPECT_EQ(found, c.gridded ? wholeInside : 0);
  }
}

}  // namespace
}  // namespace orvex
