#include "paint/raster3d.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using paint::Colour;

// A 64 x 64 view from the origin along +Z; at depth 32 one scene unit is one pixel.
class RasterTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(image_.Allocate(64, 64, paint::Encoding::Linear));
    paint::ViewCamera camera;
    camera.width = camera.height = 64;
    camera.horizontalFov = 2.0 * std::atan(1.0);  // 90 degrees
    ASSERT_TRUE(raster_.Begin(image_.GetSurface(), camera));
  }

  const Float32* At(Int32 x, Int32 y) const { return image_.GetSurface().Pixel(x, y); }

  void Square(Float depth, const Colour& colour, Float half = 16.0) {
    const paint::RasterVertex a{Vector(-half, -half, depth), colour}, b{Vector(half, -half, depth), colour},
        c{Vector(half, half, depth), colour}, d{Vector(-half, half, depth), colour};
    raster_.Triangle({a, b, c}, style_);
    raster_.Triangle({a, c, d}, style_);
  }

  paint::Image image_;
  paint::Raster3D raster_;
  paint::RasterStyle style_;
};

TEST_F(RasterTest, NearerSurfacesHideLinesUnlessTheDepthTestIsOff) {
  Square(32.0, {1, 0, 0, 1});
  style_.colour = {0, 1, 0, 1};
  raster_.Line(Vector(-40, 0, 64), Vector(40, 0, 64), style_);  // behind the square
  EXPECT_EQ(At(32, 32)[0], 1.0f);
  EXPECT_EQ(At(14, 32)[1], 1.0f);  // beside the square the line shows
  style_.depthTest = false;
  raster_.Line(Vector(-40, 0, 64), Vector(40, 0, 64), style_);
  EXPECT_EQ(At(32, 32)[1], 1.0f);
}

TEST_F(RasterTest, LineZOffsetBringsALineJustBehindASurfaceToTheFront) {
  Square(32.0, {1, 0, 0, 1});
  style_.colour = {0, 1, 0, 1};
  raster_.Line(Vector(-8, 0, 32.02), Vector(8, 0, 32.02), style_);
  EXPECT_EQ(At(32, 32)[1], 0.0f);
  style_.lineZOffset = -10;
  raster_.Line(Vector(-8, 0, 32.02), Vector(8, 0, 32.02), style_);
  EXPECT_EQ(At(32, 32)[1], 1.0f);
}

TEST_F(RasterTest, TranslucentQuadBlendsOnceAndHidesNothing) {
  Square(32.0, {1, 1, 1, 0.25f});
  for (Int32 y = 17; y < 47; ++y)
    for (Int32 x = 17; x < 47; ++x) ASSERT_FLOAT_EQ(At(x, y)[3], 0.25f) << x << "," << y;  // no seam
  Square(64.0, {0, 0, 1, 1}, 8.0);  // farther and opaque, drawn afterwards
  EXPECT_EQ(At(32, 32)[2], 1.0f);
}

TEST_F(RasterTest, NearPlaneAndNonFinitePointsAreSafe) {
  style_.colour = {1, 1, 1, 1};
  raster_.Line(Vector(0, 0, -100), Vector(0, 0, 100), style_);  // through the eye: a point at the centre
  raster_.Line(Vector(NAN, 0, 10), Vector(0, 0, 10), style_);
  raster_.Line(Vector(1e306, 0, 10), Vector(0, 0, 10), style_);  // its screen end overflows
  raster_.Triangle({{Vector(0, 0, -5), {}}, {Vector(1e300, 0, 5), {}}, {Vector(0, 1e300, 5), {}}}, style_);
  raster_.Point(Vector(0, 0, 0), 4.0, style_);  // at the eye: nothing
  EXPECT_EQ(At(32, 32)[3], 1.0f);
  EXPECT_EQ(At(0, 0)[3], 0.0f);
}

TEST_F(RasterTest, ThickLinesAndPointsSpanTheirSize) {
  style_.colour = {1, 1, 1, 1};
  style_.lineWidth = 5;
  raster_.Line(Vector(-20, 0, 32), Vector(20, 0, 32), style_);
  for (Int32 y = 30; y <= 34; ++y) EXPECT_EQ(At(32, y)[3], 1.0f) << y;
  EXPECT_EQ(At(32, 29)[3], 0.0f);
  EXPECT_EQ(At(32, 35)[3], 0.0f);
  raster_.Point(Vector(16, -16, 32), 4.0, style_);  // pixels 46..49 across, centred on (48, 48)
  EXPECT_EQ(At(46, 46)[3], 1.0f);
  EXPECT_EQ(At(49, 49)[3], 1.0f);
  EXPECT_EQ(At(50, 48)[3], 0.0f);
}

}  // namespace
