#include "image/image_output.h"
#include "render_checks.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

FloatImage TwoPixels() {
  FloatImage image;
  image.Allocate(2, 1);
  // A bright pixel beyond 1.0 and a half-covered one (colour premultiplied by its alpha).
  const Float32 values[8] = {4.0f, 0.5f, 0.0f, 1.0f, 0.25f, 0.1f, 0.05f, 0.5f};
  std::copy(values, values + 8, image.rgba.begin());
  return image;
}

TEST(FramePath, NumbersFramesOnlyWhenNeeded) {
  EXPECT_EQ(image_output::FramePath("out/dome.png", 7, false), "out/dome.png");
  EXPECT_EQ(image_output::FramePath("out/dome.png", 7, true), "out/dome_0007.png");
  EXPECT_EQ(image_output::FramePath("out/dome_###.exr", 7, false), "out/dome_007.exr");
  EXPECT_EQ(image_output::FramePath("dome.#.tif", 12, true), "dome.12.tif");
  // However long the run of "#", every frame gets a name of its own.
  const std::string hashes(40, '#');
  EXPECT_EQ(image_output::FramePath(hashes + ".png", 12, true), std::string(38, '0') + "12.png");
  EXPECT_EQ(image_output::FramePath("f" + hashes + ".png", -3, true), "f-" + std::string(38, '0') + "3.png");
}

// PNG output (display-encoded, straight alpha) is compared with the image library's own writing in
// tests/imageio/png_codec_test.cpp; the curve itself in tests/imageio/srgb_test.cpp.
TEST(ImageWrite, ExrKeepsLinearUnclampedFloatsAndAlpha) {
  render_test::TempFolder folder;
  const FloatImage back =
      render_test::ReadImage(render_test::WriteImage(folder.File("two.exr"), TwoPixels()));
  EXPECT_FLOAT_EQ(back.Pixel(0, 0)[0], 4.0f);
  EXPECT_FLOAT_EQ(back.Pixel(1, 0)[0], 0.25f);
  EXPECT_FLOAT_EQ(back.Pixel(1, 0)[3], 0.5f);
}

TEST(ImageWrite, RefusesBadPathsBeforeWritingAnything) {
  // Unknown suffixes and missing folders are refused through the render command's table.
  render_test::TempFolder folder;
  std::string error;
  EXPECT_FALSE(image_output::CheckWritable(folder.Path().string(), error));
  EXPECT_TRUE(image_output::CheckWritable(folder.File("dome.png"), error)) << error;
  EXPECT_TRUE(fs::is_empty(folder.Path()));
}

TEST(ImageWrite, AFailedWriteLeavesNoFileBehind) {
  render_test::TempFolder folder;
  // A folder in the way: the image can be written, but not renamed into place.
  fs::create_directories(folder.Path() / "dome.png" / "inside");
  std::string error;
  EXPECT_FALSE(image_output::Write(TwoPixels(), folder.File("dome.png"), error));
  EXPECT_NE(error.find("dome.png"), std::string::npos);
  EXPECT_EQ(render_test::EntryCount(folder.Path()), 1);
}

}  // namespace
