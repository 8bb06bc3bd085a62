#include "geometry/eye_rig.h"
#include "render/separation_map.h"
#include "runtime/shader_gradient.h"
#include "stereo_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

// Omni-directional stereo seen in the images: a thin pole at a known distance, rendered by each
// eye alone, lands where the eye rig puts it. With the eyes converging at the zero-parallax
// distance a pole nearer than that shows crossed disparity (further right in the left eye), one at
// that distance none, one beyond it uncrossed; without convergence every pole shows crossed
// disparity. The separation map scales the eye distance: a map of 0 makes the eyes identical.

namespace {

constexpr Int32 kWidth = 128;
constexpr Int32 kHeight = 64;
constexpr Int32 kSamples = 8;
constexpr Float kSeparation = 10.0;
constexpr Float kDegreesPerPixel = 360.0 / kWidth;

class StereoGeometry : public StereoRender {
 protected:
  void SetUp() override {
    StereoRender::SetUp();
    AddCamera(CameraKind::Panorama, kWidth, kHeight);
    Settings().SetBool(RDATA_STEREO, true);
    SetTag(ORVEXTAG_EYE_SEPARATION, GeData(kSeparation));
    Converge(0.0);
  }

  // Zero parallax at `distance`; 0 keeps the eyes' rays parallel.
  void Converge(Float distance) {
    SetTag(ORVEXTAG_ZERO_PARALLAX_MODE, GeData(Int32(distance > 0.0 ? 1 : 0)));
    if (distance > 0.0) SetTag(ORVEXTAG_ZERO_PARALLAX, GeData(distance));
  }

  // Horizontal position (pixels) of a pole at `position` in an eye's image: the centroid of what the
  // pole changes in the rows near the horizon.
  Float PoleColumn(Int32 eye, const Vector& position) {
    const FloatImage without = RenderEye(eye, kWidth, kHeight, kSamples);
    BaseObject* pole = AddBox(position, Vector(3.0, 400.0, 0.5), Vector(1.0));
    const FloatImage with = RenderEye(eye, kWidth, kHeight, kSamples);
    pole->Remove();
    BaseObject::Free(pole);
    Float weight = 0.0;
    Float sum = 0.0;
    for (Int32 y = kHeight / 2 - 4; y < kHeight / 2 + 4; ++y) {
      for (Int32 x = 0; x < kWidth; ++x) {
        Float change = 0.0;
        for (int c = 0; c < 3; ++c) change += std::abs(with.Pixel(x, y)[c] - without.Pixel(x, y)[c]);
        weight += change;
        sum += change * x;
      }
    }
    EXPECT_GT(weight, 1.0) << "the pole is not in sight";
    return sum / weight;
  }

  // Left eye's column minus the right eye's, in pixels: positive is crossed disparity.
  Float Disparity(const Vector& position) {
    return PoleColumn(kLeft, position) - PoleColumn(kRight, position);
  }

  // The disparity the rig gives a pole at `distance` (eyes converging at `zeroParallax`, 0: never).
  static Float ExpectedPixels(Float distance, Float zeroParallax) {
    const auto angle = [](Float d) {
      return 2.0 * std::atan(kSeparation * 0.5 / d) * 180.0 / 3.14159265358979;
    };
    return (angle(distance) - (zeroParallax > 0.0 ? angle(zeroParallax) : 0.0)) / kDegreesPerPixel;
  }
};

TEST_F(StereoGeometry, ParallelEyesShowNearPolesCrossedConvergedOnesSplitAtTheZeroParallaxDistance) {
  EXPECT_NEAR(Disparity(Vector(0.0, 0.0, 60.0)), ExpectedPixels(60.0, 0.0), 0.3 * ExpectedPixels(60.0, 0.0));
  Converge(100.0);
  EXPECT_NEAR(Disparity(Vector(0.0, 0.0, 100.0)), 0.0, 0.15);
  const Float near = Disparity(Vector(0.0, 0.0, 50.0));
  EXPECT_NEAR(near, ExpectedPixels(50.0, 100.0), 0.3 * ExpectedPixels(50.0, 100.0));
  const Float far = Disparity(Vector(0.0, 0.0, 300.0));
  EXPECT_NEAR(far, ExpectedPixels(300.0, 100.0), 0.3 * -ExpectedPixels(300.0, 100.0));
  EXPECT_GT(near, 0.5);
  EXPECT_LT(far, -0.3);
}

// The omni rig turns the eye pair with each ray: poles to either side show the same disparity as
// one straight ahead.
TEST_F(StereoGeometry, OmniRigKeepsTheDisparityAllAround) {
  SetTag(ORVEXTAG_STEREO_RIG, GeData(Int32(orvex::kRigOmni)));
  const Float ahead = Disparity(Vector(0.0, 0.0, 60.0));
  EXPECT_GT(ahead, 1.0);
  EXPECT_NEAR(Disparity(Vector(60.0, 0.0, 0.0)), ahead, 0.2);
  EXPECT_NEAR(Disparity(Vector(-60.0, 0.0, 0.0)), ahead, 0.2);
}

class SeparationMap : public StereoGeometry {
 protected:
  void SetUp() override {
    StereoGeometry::SetUp();
    Converge(100.0);
    AddBox(Vector(0.0, 0.0, 60.0), Vector(20.0, 200.0, 20.0), Vector(0.8, 0.2, 0.1));
    AddBox(Vector(-40.0, 0.0, -50.0), Vector(30.0, 30.0, 30.0), Vector(0.1, 0.3, 0.9));
  }
};

TEST_F(SeparationMap, AMapOfZeroPutsBothEyesOnTheCamera) {
  BaseShader* zero = BaseShader::Alloc(Xgradient);
  const GradientKnot black[] = {{0.0, Vector(0.0)}, {1.0, Vector(0.0)}};
  SetGradientKnots(*zero->GetDataInstance(), black);
  std::string error;
  ASSERT_TRUE(separation_map::Link(*Tag(), zero, error)) << error;
  EXPECT_EQ(DifferentPixels(RenderEye(kLeft, kWidth, kHeight), RenderEye(kRight, kWidth, kHeight)), 0);
  const std::vector<std::string> lines = ModuleLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Shader clone error"), 0);

  // Switched off, the map no longer applies.
  SetTag(ORVEXTAG_SEPARATION_MAP, GeData(false));
  EXPECT_GT(DifferentPixels(RenderEye(kLeft, kWidth, kHeight), RenderEye(kRight, kWidth, kHeight)), 100);
}

// Faded toward the poles, the eyes agree looking straight up and down and differ at the horizon.
TEST_F(SeparationMap, ThePoleFadeLeavesNoStereoAtThePoles) {
  std::string error;
  ASSERT_TRUE(separation_map::Link(*Tag(), separation_map::MakePoleFade(), error)) << error;
  const FloatImage left = RenderEye(kLeft, kWidth, kHeight);
  const FloatImage right = RenderEye(kRight, kWidth, kHeight);
  for (const Int32 y : {0, kHeight - 1}) {
    for (Int32 x = 0; x < kWidth; ++x) {
      for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(left.Pixel(x, y)[c], right.Pixel(x, y)[c]) << x << "," << y;
    }
  }
  int differentAtHorizon = 0;
  for (Int32 x = 0; x < kWidth; ++x)
    differentAtHorizon += std::abs(left.Pixel(x, kHeight / 2)[0] - right.Pixel(x, kHeight / 2)[0]) > 1e-4f;
  EXPECT_GT(differentAtHorizon, kWidth / 4);
}

}  // namespace
