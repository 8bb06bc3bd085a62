#include "geometry/render_area.h"
#include "geometry/sub_view.h"

#include "test_support.h"

namespace orvex {
namespace {

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
  Float u = 0.0;
  Float v = 0.0;
  ApplyViewTransform(view, u, v);
  EXPECT_EQ(Vector(u, v, 0.0), Vector(0.0, 1.0, 0.0));
  view.flipU = true;
  u = 0.25;
  v = 0.5;
  ApplyViewTransform(view, u, v);  // flip to 0.75, then (v, 1 - u)
  EXPECT_EQ(Vector(u, v, 0.0), Vector(0.5, 0.25, 0.0));

  view.matrix.offset = Vector(1.0, 2.0, 3.0);
  view.Reset();
  EXPECT_TRUE(view.rotation == 0 && !view.flipU && view.index == -1);
  EXPECT_EQ(view.matrix.offset, Vector(1.0, 2.0, 3.0));
}

}  // namespace
}  // namespace orvex
