#include "geometry/rotation.h"

#include "geometry/range_map.h"
#include "test_support.h"

namespace orvex {
namespace {

using test::Near;

TEST(RotationTest, RotAxisOfUnitAxesMatchesRotXYZAndZeroAxisOrAngleIsIdentity) {
  for (Float w : test::Steps(-kTwoPi, kTwoPi, 17)) {
    EXPECT_TRUE(Near(RotAxis({1.0, 0.0, 0.0}, w), RotX(w), 1e-12) &&
                Near(RotAxis({0.0, 1.0, 0.0}, w), RotY(w), 1e-12) &&
                Near(RotAxis({0.0, 0.0, 250.0}, w), RotZ(w), 1e-12))
        << w;
  }
  EXPECT_EQ(RotAxis(Vector(), 1.3), Matrix());
  EXPECT_EQ(RotAxis({0.3, 0.4, 0.5}, 0.0), Matrix());
}

TEST(RotationTest, InverseUndoesShearAndFlatAxesGiveIdentity) {
  const Matrix sheared({4.0, -3.0, 2.0}, {2.0, 0.0, 0.0}, {0.5, 3.0, 0.0}, {0.0, 1.0, -0.25});
  EXPECT_TRUE(Near(Inverse(sheared) * sheared, Matrix(), 1e-12) &&
              Near(sheared * Inverse(sheared), Matrix(), 1e-12));
  EXPECT_EQ(Inverse(Matrix({1.0, 2.0, 3.0}, {1.0, 0.0, 0.0}, {1.0, 0.0, 0.0}, {0.0, 0.0, 1.0})), Matrix());
  // Determinants that underflow to zero, or to a denormal whose reciprocal overflows, leave no
  // infinities or NaNs behind.
  for (Float tiny : {1e-110, 2.2e-107}) {
    EXPECT_TRUE(
        test::IsFinite(Inverse(Matrix(Vector(), {tiny, 0.0, 0.0}, {0.0, tiny, 0.0}, {0.0, 0.0, tiny}))))
        << tiny;
  }
}

TEST(RotationTest, AngleAndRangeMapLimits) {
  // Rounding pushes the cosine of (anti)parallel vectors past +-1; a zero length gives pi / 2.
  EXPECT_EQ(Angle({0.1, 0.2, 0.3}, {0.1, 0.2, 0.3}), 0.0);
  EXPECT_EQ(Angle({0.1, 0.2, 0.3}, {-0.3, -0.6, -0.9}), static_cast<Float>(3.1415927f));
  EXPECT_EQ(Angle(Vector(), {1.0, 0.0, 0.0}), kHalfPi);
  // Lengths whose squares overflow still give an angle (not NaN).
  const Float huge = Angle({1e300, 1e300, 0.0}, {1e300, 0.0, 1e300});
  EXPECT_TRUE(huge >= 0.0 && huge <= kPi) << huge;
  EXPECT_EQ(RangeMap(5.0, 1.0, 1.0 + 1e-8, 7.0, 9.0, false), 7.0);
  EXPECT_EQ(RangeMap(2.0, 0.0, 1.0, 20.0, 10.0, true), 10.0);
  EXPECT_EQ(RangeMap(-1.0, 0.0, 1.0, 20.0, 10.0, true), 20.0);
}

TEST(RotationTest, HpbRoundTripsAndKeepsItsDocumentedSenses) {
  for (Float h : test::Steps(-3.0, 3.0, 7))
    for (Float p : test::Steps(-1.5, 1.5, 7))
      for (Float b : test::Steps(-3.0, 3.0, 7)) {
        Matrix scaled = HpbToMatrix({h, p, b});
        scaled.axisX = scaled.axisX * 2.0;  // a scale does not change the angles
        EXPECT_TRUE(Near(MatrixToHpb(scaled), Vector(h, p, b), 1e-9)) << h << " " << p << " " << b;
      }
  // Positive heading turns forward to the left, positive pitch looks up, positive bank tips up to the right.
  EXPECT_TRUE(Near(HpbToMatrix({kHalfPi, 0.0, 0.0}).axisZ, Vector(-1.0, 0.0, 0.0), 1e-12));
  EXPECT_TRUE(Near(HpbToMatrix({0.0, kHalfPi, 0.0}).axisZ, Vector(0.0, 1.0, 0.0), 1e-12));
  EXPECT_TRUE(Near(HpbToMatrix({0.0, 0.0, kHalfPi}).axisY, Vector(1.0, 0.0, 0.0), 1e-12));
  // Straight up, the turn about the vertical is all heading.
  EXPECT_TRUE(Near(MatrixToHpb(HpbToMatrix({0.7, kHalfPi, 0.0})), Vector(0.7, kHalfPi, 0.0), 1e-9));
}

}  // namespace
}  // namespace orvex
