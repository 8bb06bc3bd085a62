#include "render/environment.h"
#include "geometry/scalar_math.h"
#include "image/image_output.h"
#include "render_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

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
  for (const Float u : {0.1, 0.37, 0.5, 0.93})
    for (const Float v : {0.05, 0.5, 0.8})
      ExpectNear(DirectionToEquirectUv(EquirectUvToDirection(u, v)), Vector(u, v, 0.0), 1e-12);
}

// A uniform environment of radiance L lights every surface with pi L, whichever way it faces.
TEST(EnvironmentLight, UniformSurroundingsGivePiTimesTheirRadiance) {
  render_test::TempFolder folder;
  // Small images are integrated texel by texel, large ones block by block.
  for (const Int32 height : {32, 512}) {
    Environment environment;
    std::string error;
    ASSERT_TRUE(environment.Load(
        render_test::WriteUniformImage(folder.File("grey.exr"), 2 * height, height, 0.5f), error))
        << error;
    for (const Vector& n : {Vector(0, 1, 0), Vector(0, -1, 0), Vector(1, 1, 1).GetNormalized()})
      ExpectNear(environment.Irradiance(n), Vector(0.5 * orvex::kPi), 0.01);
  }
}

// An 8-bit image is kept as bytes (display-encoded, so decoded) and a float image as floats (linear):
// both must give the same light, channel for channel. Each texel holds three different bytes, so that a wrong
// channel or texel stride shows.
TEST(EnvironmentStorage, ByteAndFloatImagesOfTheSameTexelsGiveTheSameLight) {
  render_test::TempFolder folder;
  FloatImage image;
  ASSERT_TRUE(image.Allocate(128, 64));
  for (Int32 y = 0; y < image.height; ++y) {
    for (Int32 x = 0; x < image.width; ++x) {
      const Int32 bytes[3] = {(x * 2) % 256, (y * 4 + 17) % 256, (x * 7 + y * 3) % 256};
      Float32* pixel = image.Pixel(x, y);
      for (Int32 c = 0; c < 3; ++c)
        pixel[c] = image_output::DecodeSrgb(static_cast<Float32>(bytes[c]) / 255.0f);
      pixel[3] = 1.0f;
    }
  }
  Environment bytes, floats;
  std::string error;
  ASSERT_TRUE(bytes.Load(render_test::WriteImage(folder.File("bytes.png"), image), error)) << error;
  ASSERT_TRUE(floats.Load(render_test::WriteImage(folder.File("floats.exr"), image), error)) << error;
  for (Float azimuth = 0.05; azimuth < 6.2; azimuth += 0.37) {
    for (Float polar = 0.1; polar < 3.1; polar += 0.29) {
      const Vector d(std::sin(polar) * std::sin(azimuth), std::cos(polar),
                     std::sin(polar) * std::cos(azimuth));
      // The float file may hold half floats: three decimal digits.
      for (const auto& [a, b] : {std::pair{bytes.Radiance(d), floats.Radiance(d)},
                                 std::pair{bytes.Irradiance(d), floats.Irradiance(d)}})
        for (const auto& [got, want] : {std::pair{a.x, b.x}, {a.y, b.y}, {a.z, b.z}})
          EXPECT_NEAR(got, want, 2e-3 * want + 1e-6) << azimuth << " " << polar;
    }
  }
  // Loaded over the byte image, the float image is what the texels come from.
  ASSERT_TRUE(bytes.Load(folder.File("floats.exr"), error)) << error;
  for (const Vector& d : {Vector(0.0, 0.0, 1.0), Vector(0.6, 0.0, 0.8), Vector(0.0, -0.6, 0.8)})
    EXPECT_EQ(bytes.Radiance(d).y, floats.Radiance(d).y);

  // A file that cannot be read leaves the procedural sky in place.
  Environment sky;
  const Vector up = sky.Radiance(Vector(0.0, 1.0, 0.0));
  EXPECT_FALSE(sky.Load(folder.File("missing.png"), error));
  EXPECT_FALSE(sky.IsImage());
  EXPECT_EQ(sky.Radiance(Vector(0.0, 1.0, 0.0)).y, up.y);
}

}  // namespace
