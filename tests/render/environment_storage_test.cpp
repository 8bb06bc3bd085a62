#include "image/image_output.h"
#include "render/environment.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

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
  std::string error;
  ASSERT_TRUE(image_output::Write(image, folder.File("bytes.png"), error)) << error;
  ASSERT_TRUE(image_output::Write(image, folder.File("floats.exr"), error)) << error;
  Environment bytes, floats;
  ASSERT_TRUE(bytes.Load(folder.File("bytes.png"), error)) << error;
  ASSERT_TRUE(floats.Load(folder.File("floats.exr"), error)) << error;
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
}

// A file that cannot be read leaves the procedural sky in place.
TEST(EnvironmentStorage, AFailedLoadKeepsTheSky) {
  render_test::TempFolder folder;
  Environment environment;
  const Vector sky = environment.Radiance(Vector(0.0, 1.0, 0.0));
  std::string error;
  EXPECT_FALSE(environment.Load(folder.File("missing.png"), error));
  EXPECT_FALSE(environment.IsImage());
  EXPECT_EQ(environment.Radiance(Vector(0.0, 1.0, 0.0)).y, sky.y);
}

}  // namespace
