#include "eye_matrix_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace orvex {
namespace {

const Matrix kCamera = Move({100.0, -20.0, 35.0}) * RotAxis({0.2, 1.0, -0.4}, 0.9);
// A camera whose axes carry a scale: its turned axes must be normalised again.
const Matrix kScaledCamera = kCamera * Matrix(Vector(), {2.0, 0.0, 0.0}, {0.0, 2.0, 0.0}, {0.0, 0.0, 2.0});

// Directions over the whole sphere, the poles and the axes included.
std::vector<Vector> Directions() {
  std::vector<Vector> directions = {{0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}};
  for (int i = 0; i < 400; ++i) {
    const Float y = 1.0 - (i + 0.5) / 200.0;
    const Float r = std::sqrt(1.0 - y * y);
    const Float a = i * 2.399963229728653;
    directions.push_back({r * std::cos(a), y, r * std::sin(a)});
  }
  return directions;
}

void ExpectNear(const Vector& a, const Vector& b, const char* what) {
  EXPECT_NEAR(a.x, b.x, 1e-9) << what;
  EXPECT_NEAR(a.y, b.y, 1e-9) << what;
  EXPECT_NEAR(a.z, b.z, 1e-9) << what;
}

TEST(EyeMatrixFast, EqualsTheWrittenChainForEveryRigEyeAndDistance) {
  const std::vector<Vector> directions = Directions();
  for (const Matrix& camera : {kCamera, kScaledCamera})
    for (int dome : {0, 1})
      for (Int32 mode : {kRigFixed, kRigOmni, kRigTurnVertical, kRigTurnViewAxis})
        for (Float zeroParallax : {0.0, 2.0, 1000.0, 1e7})
          for (Float h : {-3.25, 3.25, 40.0}) {
            // An eye 40 away converging at 2 looks back across the camera: angles near pi.
            const StereoRig rig{mode, dome != 0, zeroParallax, 6.5};
            const EyeRig eye = PrepareEyeRig(camera, camera * Move({h, 0.0, 0.0}), h < 0 ? "0" : "1", rig);
            for (Float k : {1.0, 0.37, 0.0, -0.5})
              for (const Vector& d : directions) {
                const EyeMatrix fast = EyeMatrixForRay(eye, d, k);
                const EyeMatrix chain = reference::EyeMatrixForRay(eye, d, k);
                ExpectNear(fast.matrix.offset, chain.matrix.offset, "offset");
                ExpectNear(fast.matrix.axisX, chain.matrix.axisX, "axis X");
                ExpectNear(fast.matrix.axisY, chain.matrix.axisY, "axis Y");
                ExpectNear(fast.matrix.axisZ, chain.matrix.axisZ, "axis Z");
                ExpectNear(fast.zeroParallaxPoint, chain.zeroParallaxPoint, "zero-parallax point");
                ExpectNear(fast.convergenceAxis, chain.convergenceAxis, "convergence axis");
                if (HasFailure()) {
                  ADD_FAILURE() << "mode " << mode << " dome " << dome << " zp " << zeroParallax << " h " << h
                                << " k " << k << " d " << d.x << "," << d.y << "," << d.z;
                  return;
                }
              }
          }
}

TEST(EyeMatrixFast, AngleTurnIsTheCosineAndSineOfAngle) {
  const Vector p(0.3, -0.2, 0.9);
  for (const Vector& q : Directions()) {
    const Turn turn = AngleTurn(p, q);
    const Float w = Angle(p, q);
    EXPECT_NEAR(turn.sine, std::sin(w), 1e-9);
    EXPECT_NEAR(turn.cosine, std::cos(w), 1e-9);
  }
  // Opposite, parallel and zero-length vectors.
  for (const Vector& q : {-p, p * 3.0, Vector()}) {
    const Turn turn = AngleTurn(p, q);
    EXPECT_NEAR(turn.sine, std::sin(Angle(p, q)), 1e-12);
    EXPECT_NEAR(turn.cosine, std::cos(Angle(p, q)), 1e-12);
  }
}

}  // namespace
}  // namespace orvex
