#include "geometry/lens.h"
#include "geometry/render_area.h"
#include "geometry/sub_view.h"

#include "test_support.h"

namespace orvex {
namespace {

using test::Near;

LensSettings LensFor(Projection projection) {
  LensSettings lens;
  lens.projection = projection;
  lens.pixelScale = Vector(1.0 / 1000.0, 1.0 / 500.0, 0.0);
  return lens;
}

// The direction, and the (u, v) the lens left behind.
std::pair<Vector, Vector> Traced(const LensSettings& lens, Float u, Float v) {
  const Vector d = LensDirection(lens, u, v);
  return {d, {u, v, 0.0}};
}

// The lens's inputs: the area's measures, pixel centres as (u, v) and a view's flips and turn.
TEST(RenderAreaTest, CornerChangesRecomputeEveryMeasure) {
  RenderArea area = RenderArea::FromStartAndSize({10.0, 20.0, 0.0}, {1920.0, 1080.0, 0.0});
  EXPECT_EQ(area.GetEnd(), Vector(1929.0, 1099.0, 0.0));
  EXPECT_EQ(area.GetCentre(), Vector(969.5, 559.5, 0.0));
  EXPECT_EQ(area.GetRadius(), 540.0);
  area.SetEndY(19.0);
  EXPECT_EQ(area.GetSize(), Vector(1920.0, 0.0, 0.0));
  EXPECT_EQ(area.GetAspect(), 0.0);  // no height, no aspect
  // Halves are single-precision: 16777217 has no such value, so its half becomes 8388608.
  const RenderArea big = RenderArea::FromStartAndSize(Vector(), {16777217.0, 16777217.0, 0.0});
  EXPECT_EQ(big.GetCentre().x, 8388607.5);
  EXPECT_EQ(big.GetRadius(), 8388608.0);
}

TEST(RenderAreaTest, PixelToUvRunsFromZeroToOneAndSinglePixelSpansSitInTheMiddle) {
  const RenderArea area = RenderArea::FromStartAndSize({500.0, 0.0, 0.0}, {500.0, 1.0, 0.0});
  EXPECT_EQ(PixelToUv(area, 500.0, 0.0), Vector(0.0, 0.5, 0.0));
  EXPECT_EQ(PixelToUv(area, 999.0, 0.0), Vector(1.0, 0.5, 0.0));
  EXPECT_EQ(PixelToUv(RenderArea(), 3.0, 4.0), Vector(0.5, 0.5, 0.0));
}

TEST(SubViewTest, TransformFlipsThenTurnsAndResetKeepsThePlacement) {
  SubView view;
  view.rotation = 90;
  Float u = 0.0, v = 0.0;
  ApplyViewTransform(view, u, v);
  EXPECT_EQ(Vector(u, v, 0.0), Vector(0.0, 1.0, 0.0));
  view.flipU = true;
  u = 0.25, v = 0.5;
  ApplyViewTransform(view, u, v);  // flip to 0.75, then (v, 1 - u)
  EXPECT_EQ(Vector(u, v, 0.0), Vector(0.5, 0.25, 0.0));

  view.matrix.offset = Vector(1.0, 2.0, 3.0);
  view.Reset();
  EXPECT_TRUE(view.rotation == 0 && !view.flipU && view.index == -1);
  EXPECT_EQ(view.matrix.offset, Vector(1.0, 2.0, 3.0));
}

TEST(LensTest, MarginEyeShiftAndViewTransformsShapeTheRay) {
  LensSettings lens = LensFor(Projection::kEquirect);
  EXPECT_NE(Traced(lens, -0.0099, 1.0199).first, Vector());  // ten pixels beyond the area
  EXPECT_EQ(Traced(lens, -0.0101, 0.5).first, Vector());
  EXPECT_EQ(Traced(lens, 0.5, 1.0201).first, Vector());
  lens.stereo = true;
  lens.eyeShift = 10;  // 0.005 per eye, wrapping once round the seam
  lens.currentEye.index = 0;
  EXPECT_NEAR(Traced(lens, 0.002, 0.5).second.x, 0.997, 1e-12);
  lens.currentEye.index = 1;
  lens.currentEye.flipU = true;
  lens.currentFace.rotation = 90;
  const auto [d, uv] = Traced(lens, 0.195, 0.3);  // shift to 0.2, turn to (0.3, 0.8), flip to (0.7, 0.8)
  EXPECT_TRUE(Near(uv, {0.7, 0.8, 0.0}, 1e-15));
  EXPECT_TRUE(Near(d, Traced(LensFor(Projection::kEquirect), 0.7, 0.8).first, 1e-15));
}

// The mask modes are rendered pixel by pixel in tests/render/lens_render_test.cpp.
TEST(LensTest, FisheyeDomeStereo) {
  LensSettings lens = LensFor(Projection::kFisheye);
  lens.domeStereo = true;
  EXPECT_EQ(Traced(lens, 0.5, 0.5).first, Vector(0.0, 0.0, 1.0));  // mono keeps the dome forward
  lens.stereo = true;
  EXPECT_EQ(Traced(lens, 0.5, 0.5).first, Vector(0.0, 1.0, 0.0));
  // Eye shift is greyed out for fisheyes, so it must not move the dome.
  const Vector unshifted = Traced(lens, 0.3, 0.6).first;
  lens.eyeShift = 40;
  lens.currentEye.index = 1;
  EXPECT_EQ(Traced(lens, 0.3, 0.6).first, unshifted);
}

TEST(LensTest, CustomSpansMapIntoThePanoramaAndTheCylinder) {
  LensSettings lens = LensFor(Projection::kEquirect);
  lens.equirectCustom = true;
  lens.uMin = lens.vMin = 0.25;  // half a turn, 45 degrees down
  lens.uMax = lens.vMax = 0.75;  // and up
  const auto [topRight, uv] = Traced(lens, 1.0, 0.0);
  EXPECT_TRUE(Near(topRight, Vector(1.0, 1.0, 0.0).GetNormalized(), 1e-15));
  EXPECT_EQ(uv, Vector(0.75, 0.25, 0.0));
  lens.projection = Projection::kCylindrical;
  lens.uMin = 0.375;  // a quarter turn
  lens.uMax = 0.625;
  const auto [upright, uprightUv] = Traced(lens, 1.0, 0.1);
  EXPECT_TRUE(Near(upright, Vector(1.0, 0.0, 1.0).GetNormalized(), 1e-15));
  EXPECT_EQ(uprightUv, Vector(0.625, 0.1, 0.0));  // the height moves the ray origin instead
  lens.cylinderTurned = true;
  const auto [turned, turnedUv] = Traced(lens, 0.3, 0.0);
  EXPECT_TRUE(Near(turned, Vector(0.0, 1.0, 1.0).GetNormalized(), 1e-15));
  EXPECT_EQ(turnedUv, Vector(0.3, 0.25, 0.0));
}

TEST(LensTest, CubemapFollowsTheCurrentFaceAndUnknownValuesTraceNothing) {
  LensSettings lens = LensFor(Projection::kCubemap);
  lens.currentFace.index = 4;
  lens.currentFace.rotation = 180;
  EXPECT_TRUE(Near(Traced(lens, 0.0, 0.5).first, Vector(-1.0, 0.0, -1.0).GetNormalized(), 1e-15));
  lens.currentFace.index = -1;
  EXPECT_EQ(Traced(lens, 0.5, 0.5).first, Vector());
  EXPECT_EQ(Traced(LensFor(static_cast<Projection>(4)), 0.5, 0.5).first, Vector());
}

// The pixel bounds must never refuse a pixel the exact margin test traces, and must refuse what
// lies a couple of pixels beyond it (or they would save nothing).
TEST(LensTest, RayPixelBoundsNeverRefuseATracedPixel) {
  for (const Vector& start : {Vector(0, 0, 0), Vector(1024, 512, 0), Vector(-3.5, 7.25, 0)}) {
    for (const Vector& size : {Vector(1024, 1024, 0), Vector(3, 2, 0), Vector(1, 1, 0), Vector(4097, 1, 0)}) {
      const RenderArea area = RenderArea::FromStartAndSize(start, size);
      LensSettings lens = LensFor(Projection::kEquirect);
      lens.pixelScale = Vector(1.0f / Float32(area.GetWidth()), 1.0f / Float32(area.GetHeight()), 0.0);
      const RayPixelBounds bounds = RayBoundsOf(area, lens);
      for (Float dx = -40.0; dx <= size.x + 40.0; dx += 0.25) {
        for (const Float dy : {-12.0, -10.0, 0.0, size.y - 1.0 + 10.0, size.y + 12.0}) {
          const Float x = start.x + dx, y = start.y + dy;
          const Vector uv = PixelToUv(area, x, y);
          const bool traced = Traced(lens, uv.x, uv.y).first != Vector();
          const bool farOutside = (size.x > 1 && (dx < -12.0 || dx > size.x + 11.0)) ||
                                  (size.y > 1 && (dy < -11.5 || dy > size.y + 11.0));
          EXPECT_TRUE(!traced || bounds.Contains(x, y)) << x << " " << y;
          EXPECT_FALSE(farOutside && bounds.Contains(x, y)) << x << " " << y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace orvex
