#include "geometry/cube_face.h"
#include "geometry/equirect.h"
#include "geometry/fisheye.h"
#include "geometry/frame_change.h"
#include "geometry/rotation.h"
#include "test_support.h"

namespace orvex {
namespace {

using test::Near;
using test::Steps;

// Where each pixel of a fisheye looks is checked pixel by pixel in rendered images
// (tests/render/lens_render_test.cpp); here the edge of the circle and the inverse.
TEST(FisheyeTest, EdgePixelsTraceAndRaysStopBeyondTheCircle) {
  EXPECT_NE(FisheyeDirection(0.5 + 1.005 / 2.0, 0.5, kPi, true), Vector());  // edge pixels still trace
  EXPECT_EQ(FisheyeDirection(0.5 + 1.02 / 2.0, 0.5, kPi, true), Vector());
  EXPECT_FALSE(IsOutsideDomeCircle(0.0, 0.5));  // exactly on the circle
  EXPECT_TRUE(IsOutsideDomeCircle(-1e-9, 0.5));
}

TEST(FisheyeTest, UnitDirectionsThatDomeUvInvertsInsideTheCircle) {
  for (Float fov : {0.0, 0.5, kPi, kTwoPi}) {
    for (Float u : Steps(0.0, 1.0, 41)) {
      for (Float v : Steps(0.0, 1.0, 41)) {
        const Vector d = FisheyeDirection(u, v, fov, false);
        ASSERT_NEAR(d.GetLength(), 1.0, 1e-12);
        // A zero-angle lens sees only its axis: the centre, never NaN.
        const Vector expected = fov == 0.0 ? Vector(0.5, 0.5, 0.0) : Vector(u, 1.0 - v, 0.0);
        ASSERT_TRUE(IsOutsideDomeCircle(u, v) || Near(DomeUvFromDirection(d, fov), expected, 1e-9))
            << u << " " << v;
      }
    }
  }
  for (const Vector& d : test::SphereDirections())
    ASSERT_TRUE(test::IsFinite(DomeUvFromDirection(d, 1e-320)));
}

TEST(EquirectTest, SeamsMeetAndUvOfDirectionIsAQuarterTurnOnAndFlipped) {
  EXPECT_TRUE(Near(FrameChange(EquirectDirection(0.75, 0.5)), {1.0, 0.0, 0.0}, 1e-15));
  EXPECT_TRUE(Near(FrameChange(EquirectDirection(0.3, 0.0)), {0.0, 1.0, 0.0}, 1e-15));
  EXPECT_TRUE(Near(FrameChange(Vector(1, 2, 3)), RotX(kHalfPi).TransformDirection({1, 2, 3}), 1e-15));
  for (Float u : Steps(0.0, 1.0, 41)) {
    for (Float v : Steps(0.0, 1.0, 21)) {
      const Vector d = EquirectDirection(u, v);
      ASSERT_NEAR(d.GetLength(), 1.0, 1e-12);
      ASSERT_TRUE(u > 0.0 || Near(d, EquirectDirection(1.0, v), 1e-15));
      const Vector uv = EquirectUvFromDirection(d);
      ASSERT_TRUE(uv.x > 0.0 && uv.x <= 1.0) << uv.x;
      // Straight down the limited arc cosine gives single-precision pi.
      ASSERT_NEAR(uv.y, v == 1.0 ? 1.0 - kPiSingle / kPi : 1.0 - v, 1e-9) << u << ", " << v;
      const Float error = std::abs(uv.x - (u + 0.25));
      const bool pole = v == 0.0 || v == 1.0;  // every column of a pole is the same direction
      ASSERT_TRUE(pole || std::min(error, 1.0 - error) < 1e-9) << u << ", " << v;
    }
  }
}

TEST(CubeFaceTest, FacesLookAlongTheirAxesWithTheirImageAxes) {
  const Vector looks[] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
  const Vector rightwards[] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {1, 0, 0}, {-1, 0, 0}, {1, 0, 0}};
  const Vector downwards[] = {{0, -1, 0}, {0, -1, 0}, {0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, -1, 0}};
  for (Int32 face = 0; face < kCubeFaceCount; ++face) {
    EXPECT_EQ(FrameChange(CubeFaceDirection(face, 0.5, 0.5)), looks[face]) << face;
    const Vector corner = (looks[face] + rightwards[face] + downwards[face]) / std::sqrt(3.0);
    EXPECT_TRUE(Near(FrameChange(CubeFaceDirection(face, 1.0, 1.0)), corner, 1e-15)) << face;
  }
  EXPECT_EQ(CubeFaceDirection(6, 0.5, 0.5), Vector());
  EXPECT_EQ(CubeFaceUvFromDirection(Vector()).face, kCubeFaceNone);
}

TEST(CubeFaceTest, EveryDirectionHitsOneFaceAndMapsBack) {
  for (const Vector& d : test::SphereDirections()) {
    const CubeFaceUv hit = CubeFaceUvFromDirection(d);
    ASSERT_TRUE(hit.u >= 0.0 && hit.u <= 1.0 && hit.v >= 0.0 && hit.v <= 1.0);
    ASSERT_TRUE(Near(CubeFaceDirection(hit.face, hit.u, hit.v), d, 1e-9)) << hit.face;
    for (Int32 face = 0; face < kCubeFaceCount; ++face) {  // no face lies further along d
      ASSERT_LE(Dot(CubeFaceDirection(face, 0.5, 0.5), d), Dot(CubeFaceDirection(hit.face, 0.5, 0.5), d));
    }
  }
}

}  // namespace
}  // namespace orvex
