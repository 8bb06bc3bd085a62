#include "render/environment.h"
#include "geometry/scalar_math.h"
#include "image/image_output.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

namespace {

void ExpectNear(const Vector& actual, const Vector& expected, Float tolerance) {
  EXPECT_LT((actual - expected).GetLength(), tolerance) << actual.x << ", " << actual.y << ", " << actual.z;
}

TEST(EnvironmentMapping, FollowsTheWorldConvention) {
  ExpectNear(DirectionToEquirectUv(Vector(0.0, 0.0, 1.0)), Vector(0.5, 0.5, 0.0), 1e-12);
  ExpectNear(DirectionToEquirectUv(Vector(1.0, 0.0, 0.0)), Vector(0.75, 0.5, 0.0), 1e-12);
  ExpectNear(DirectionToEquirectUv(Vector(-1.0, 0.0, 0.0)), Vector(0.25, 0.5, 0.0), 1e-12);
  EXPECT_NEAR(DirectionToEquirectUv(Vector(0.0, 1.0, 0.0)).y, 0.0, 1e-12);
  EXPECT_NEAR(DirectionToEquirectUv(Vector(0.0, -1.0, 0.0)).y, 1.0, 1e-12);
  for (const Float u : {0.1, 0.37, 0.5, 0.93}) {
    for (const Float v : {0.05, 0.5, 0.8}) {
      ExpectNear(DirectionToEquirectUv(EquirectUvToDirection(u, v)), Vector(u, v, 0.0), 1e-12);
    }
  }
}

// A uniform environment of radiance L lights every surface with pi L, whichever way it faces.
TEST(EnvironmentLight, UniformSurroundingsGivePiTimesTheirRadiance) {
  render_test::TempFolder folder;
  // Small images are integrated texel by texel, large ones block by block.
  for (const Int32 height : {32, 512}) {
    FloatImage grey;
    ASSERT_TRUE(grey.Allocate(2 * height, height));
    for (size_t i = 0; i < grey.rgba.size(); ++i) grey.rgba[i] = 0.5f;
    std::string error;
    ASSERT_TRUE(image_output::Write(grey, folder.File("grey.exr"), error)) << error;
    Environment environment;
    ASSERT_TRUE(environment.Load(folder.File("grey.exr"), error)) << error;
    for (const Vector& n : {Vector(0, 1, 0), Vector(0, -1, 0), Vector(1, 1, 1).GetNormalized()})
      ExpectNear(environment.Irradiance(n), Vector(0.5 * orvex::kPi), 0.01);
  }
}

}  // namespace
