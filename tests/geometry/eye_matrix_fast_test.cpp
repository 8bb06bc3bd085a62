#include "eye_matrix_reference.h"
#include "geometry/quarter_turn.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvex {
namespace {

using test::Near;
using test::SphereDirections;

const Matrix kCamera = Move({100.0, -20.0, 35.0}) * RotAxis({0.2, 1.0, -0.4}, 0.9);
// A camera whose axes carry a scale: its turned axes must be normalised again.
const Matrix kScaledCamera = kCamera * Matrix(Vector(), {2.0, 0.0, 0.0}, {0.0, 2.0, 0.0}, {0.0, 0.0, 2.0});
// Unequal scales, and a mirror: the convergence axis found in the head's frame must turn and flip too.
const Matrix kSkewedCamera = kCamera * Matrix(Vector(), {1.5, 0.0, 0.0}, {0.3, 0.8, 0.0}, {0.0, 0.0, 1.0});
const Matrix kMirroredCamera = kCamera * Matrix(Vector(), {-1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0});

// The eye offset of every rig mode (the chain Move(-e) x R(a) x Move(k e) x R(-a), or the fixed rig's
// shortened baseline), the dome's turn and the convergence, against the chain written out.
TEST(EyeMatrixFast, EqualsTheWrittenChainForEveryRigEyeAndDistance) {
  const std::vector<Vector> directions = SphereDirections();
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
  std::vector<Vector> directions = SphereDirections();
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

}  // namespace
}  // namespace orvex
