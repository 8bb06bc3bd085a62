#include "geometry/eye_rig.h"
#include "eye_matrix_reference.h"
#include "geometry/frame_change.h"
#include "geometry/quarter_turn.h"
#include "geometry/range_map.h"
#include "geometry/rotation.h"
#include "test_support.h"

#include <optional>

// The stereo eye rig: where each eye stands and turns per ray, and its fast path against the written
// chain it replaces; the rotations, angles and range maps it is made of.

namespace orvex {
namespace {

using test::Near;

// A camera somewhere in the scene, turned on all three axes.
const Matrix kCamera = Move({100.0, -20.0, 35.0}) * RotAxis({0.2, 1.0, -0.4}, 0.9);

Matrix Eye(const Matrix& camera, Int32 index) {
  SubView eye;
  EXPECT_TRUE(PlaceEye(camera, index, 6.5, eye));
  return eye.matrix;
}

struct RayCase {
  Int32 eye = 0;
  Int32 mode = kRigFixed;
  Float zeroParallax = 0.0;
  Float k = 1.0;
  Matrix camera = kCamera;
  Bool dome = false;
  std::optional<Int32> rigIndex = std::nullopt;  // the index the rig is told; empty: the eye's own
};

EyeMatrix Ray(const Vector& d, const RayCase& c) {
  return EyeMatrixForRay(c.camera, Eye(c.camera, c.eye), c.rigIndex.value_or(c.eye), d,
                         {c.mode, c.dome, c.zeroParallax, 6.5}, c.k);
}

TEST(EyeRigTest, EyePlacementPerRig) {
  SubView eye;
  EXPECT_FALSE(PlaceEye(kCamera, -1, 6.5, eye) || PlaceEye(kCamera, 3, 6.5, eye));
  EXPECT_EQ(Eye(kCamera, 2), Eye(kCamera, 1));
  // Omni rig: forward keeps the left eye on the left, a ray to the right puts it in front.
  for (Float zp : {0.0, 1000.0}) {
    EXPECT_TRUE(Near(Ray({0, 0, 1}, {.mode = kRigOmni, .zeroParallax = zp}).matrix.offset,
                     kCamera * Vector(-3.25, 0, 0), 1e-12));
    EXPECT_TRUE(Near(Ray({1, 0, 0}, {.mode = kRigOmni, .zeroParallax = zp}).matrix.offset,
                     kCamera * Vector(0, 0, 3.25), 1e-12));
  }
  // Fixed rig: only the factor shortens the baseline, whatever the ray.
  for (const Vector& d : test::SphereDirections()) {
    ASSERT_TRUE(Near(Ray(d, {.k = 0.5, .camera = Matrix()}).matrix.offset, {-1.625, 0, 0}, 1e-15));
    ASSERT_TRUE(Near(Ray(d, {.eye = 1, .k = 0.5, .camera = Matrix()}).matrix.offset, {1.625, 0, 0}, 1e-15));
  }
}

// With the camera turned on all axes (and turned up for a dome), each converging eye's ray still
// passes through the mono ray's zero-parallax point: mixing up world and camera axes, or leaving
// out the dome's turn, misses it. The point is handed back along the ray in the camera's frame.
TEST(EyeRigTest, ConvergenceHoldsForATurnedCameraAndADome) {
  for (Bool dome : {false, true}) {
    const Matrix mono = dome ? WithInverseFrameChange(kCamera) : kCamera;
    for (Int32 index : {0, 1}) {
      for (const Vector& d : test::SphereDirections()) {
        if (std::fabs(d.x) > 0.9) continue;  // along the eye axis the convergence plane is undefined
        const EyeMatrix eye = Ray(d, {.eye = index, .zeroParallax = 1000.0, .dome = dome});
        const Vector point = kCamera.offset + mono.TransformDirection(d) * 1000.0;
        const Vector along = eye.matrix.TransformDirection(d).GetNormalized();
        ASSERT_LT(Cross(point - eye.matrix.offset, along).GetLength(), 1e-6) << dome << index;
        ASSERT_TRUE(Near(eye.zeroParallaxPoint, d * 1000.0, 1e-9));
      }
    }
  }
}

TEST(EyeRigTest, ZeroFactorOrNoZeroParallaxKeepsRaysParallel) {
  const Vector d = Vector(0.3, 0.4, 0.8).GetNormalized();
  for (Int32 mode : {0, 1, 2, 3}) {
    for (Bool dome : {false, true}) {
      const Vector mono = (dome ? WithInverseFrameChange(kCamera) : kCamera).TransformDirection(d);
      const EyeMatrix onCamera =
          Ray(d, {.eye = 1, .mode = mode, .zeroParallax = 1000.0, .k = 0.0, .dome = dome});
      EXPECT_TRUE(Near(onCamera.matrix.offset, kCamera.offset, 1e-12));
      EXPECT_TRUE(Near(onCamera.matrix.TransformDirection(d), mono, 1e-12));
      EXPECT_EQ(onCamera.convergenceAxis, Vector());
      EXPECT_TRUE(Near(Ray(d, {.mode = mode, .dome = dome}).matrix.TransformDirection(d), mono, 1e-12));
    }
  }
}

TEST(EyeRigTest, UnknownModesActAsFixedAndOnlyEyesZeroAndOneConverge) {
  const Vector d = Vector(0.6, -0.2, 0.5).GetNormalized();
  const Matrix fixed = Ray(d, {.zeroParallax = 500.0, .k = 0.7}).matrix;
  for (Int32 mode : {-1, 4}) EXPECT_EQ(Ray(d, {.mode = mode, .zeroParallax = 500.0, .k = 0.7}).matrix, fixed);
  const Matrix parallel = Ray(d, {}).matrix;
  EXPECT_NE(Ray(d, {.zeroParallax = 1000.0}).matrix, parallel);
  for (Int32 index : {2, -1, 3})
    EXPECT_EQ(Ray(d, {.zeroParallax = 1000.0, .rigIndex = index}).matrix, parallel) << index;
}

TEST(EyeRigTest, DegenerateInputsStayFinite) {
  const Matrix flat({1.0, 2.0, 3.0}, Vector(), Vector(), Vector());
  for (Int32 mode : {0, 1, 2, 3}) {
    for (const Vector& d : {Vector(), Vector(0, 0, -1), Vector(1e-300, 0, 0)}) {
      for (const Matrix& camera : {kCamera, flat}) {
        const Matrix m =
            Ray(d, {.mode = mode, .zeroParallax = 1000.0, .camera = camera, .dome = true}).matrix;
        const Matrix onCamera = EyeMatrixForRay(camera, camera, 0, d, {mode, false, 1000.0, 6.5}, 1.0).matrix;
        ASSERT_TRUE(test::IsFinite(m) && test::IsFinite(onCamera));
      }
    }
  }
}

// Separation maps as the render hands them over: here the map's row, or a constant beyond 1.
struct RowMap : ScalarMapSampler {
  Float SampleRed(const Vector& p) const override { return p.y; }
};
struct StrongMap : ScalarMapSampler {
  Float SampleRed(const Vector&) const override { return 1.7; }
};

TEST(EyeRigTest, SeparationMapIsSampledUnclampedAtThePanoramaOrDomePoint) {
  EXPECT_EQ(SeparationFactor(nullptr, {0.0, 0.0, 1.0}, false, kPi), 1.0);
  const RowMap row;
  EXPECT_NEAR(SeparationFactor(&row, {0, 1, 0}, false, kPi), 0.0, 1e-12);  // the top row looks up
  EXPECT_NEAR(SeparationFactor(&row, {0, -1, 0}, false, kPi), 1.0, 1e-7);
  // Forward lies a quarter turn on from the panorama's centre column.
  EXPECT_TRUE(Near(SeparationMapPoint({0, 0, 1}, false, kPi), {0.75, 0.5, 0.0}, 1e-12));
  EXPECT_TRUE(Near(SeparationMapPoint({1, 0, 0}, true, kPi), {1.0, 0.5, 0.5}, 1e-12));
  const StrongMap strong;
  EXPECT_EQ(SeparationFactor(&strong, {0.0, 0.0, 1.0}, true, kPi), 1.7);
}

// A camera whose axes carry a scale: its turned axes must be normalised again.
const Matrix kScaledCamera = kCamera * Matrix(Vector(), {2.0, 0.0, 0.0}, {0.0, 2.0, 0.0}, {0.0, 0.0, 2.0});
// Unequal scales, and a mirror: the convergence axis found in the head's frame must turn and flip too.
const Matrix kSkewedCamera = kCamera * Matrix(Vector(), {1.5, 0.0, 0.0}, {0.3, 0.8, 0.0}, {0.0, 0.0, 1.0});
const Matrix kMirroredCamera = kCamera * Matrix(Vector(), {-1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0});

// The eye offset of every rig mode (the chain Move(-e) x R(a) x Move(k e) x R(-a), or the fixed rig's
// shortened baseline), the dome's turn and the convergence, against the chain written out.
TEST(EyeMatrixFast, EqualsTheWrittenChainForEveryRigEyeAndDistance) {
  const std::vector<Vector> directions = test::SphereDirections();
  for (const Matrix& camera : {kCamera, kScaledCamera, kSkewedCamera, kMirroredCamera})
    for (int dome : {0, 1})
      for (Int32 mode : {kRigFixed, kRigOmni, kRigTurnVertical, kRigTurnViewAxis})
        for (Float zeroParallax : {0.0, 2.0, 1000.0, 1e7})
          for (Float h : {-3.25, 3.25, 40.0}) {
            // An eye 40 away converging at 2 looks back across the camera: angles near pi.
            const StereoRig rig{mode, dome != 0, zeroParallax, 6.5};
            const EyeRig eye = PrepareEyeRig(camera, camera * Move({h, 0.0, 0.0}), h < 0 ? 0 : 1, rig);
            for (Float k : {1.0, 0.37, 0.0, -0.5})
              for (const Vector& d : directions) {
                const EyeMatrix fast = EyeMatrixForRay(eye, d, k);
                const EyeMatrix chain = reference::EyeMatrixForRay(eye, d, k);
                ASSERT_TRUE(Near(fast.matrix, chain.matrix, 1e-9) &&
                            Near(fast.zeroParallaxPoint, chain.zeroParallaxPoint, 1e-9) &&
                            Near(fast.convergenceAxis, chain.convergenceAxis, 1e-9))
                    << "mode " << mode << " dome " << dome << " zp " << zeroParallax << " h " << h << " k "
                    << k << " d " << d.x << "," << d.y << "," << d.z;
              }
          }
}

// Over the sphere, and for opposite, parallel and zero-length vectors.
TEST(EyeMatrixFast, AngleTurnIsTheCosineAndSineOfAngle) {
  const Vector p(0.3, -0.2, 0.9);
  std::vector<Vector> directions = test::SphereDirections();
  directions.insert(directions.end(), {-p, p * 3.0, Vector()});
  for (const Vector& q : directions) {
    const Turn turn = AngleTurn(p, q);
    ASSERT_NEAR(turn.sine, std::sin(Angle(p, q)), 1e-9) << q.x << "," << q.y << "," << q.z;
    ASSERT_NEAR(turn.cosine, std::cos(Angle(p, q)), 1e-9) << q.x << "," << q.y << "," << q.z;
  }
}

// The rig's turn by series: the library's cosine and sine within a quarter turn, and beyond it.
TEST(EyeMatrixFast, TurnWithinQuarterIsTheLibrarysCosineAndSine) {
  for (Float angle : test::Steps(-kHalfPi, kHalfPi, 20001)) {
    const Turn turn = TurnWithinQuarter(angle);
    ASSERT_NEAR(turn.cosine, std::cos(angle), 1e-15) << angle;
    ASSERT_NEAR(turn.sine, std::sin(angle), 1e-15) << angle;
  }
  for (Float angle : {2.0, -3.0, 40.0})
    EXPECT_TRUE(TurnWithinQuarter(angle).cosine == std::cos(angle) &&
                TurnWithinQuarter(angle).sine == std::sin(angle))
        << angle;
}

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
