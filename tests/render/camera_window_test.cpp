// Camera images of a multi-camera frame are kept only as large as what their camera rendered;
// everything else must read back as transparent black, exactly as a whole-frame copy would.
#include "render/camera_bitmaps.h"
#include "runtime/bitmap_io.h"
#include "runtime/bitmap_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr Int32 kRgbBytes = 3 * static_cast<Int32>(sizeof(Float32));

std::vector<Float32> ReadRun(const BaseBitmap& bitmap, Int32 x, Int32 y, Int32 count, bool& read) {
  std::vector<Float32> run(static_cast<size_t>(count) * 3, -1.0f);
  read = bitmap.GetPixelCnt(x, y, count, reinterpret_cast<UChar*>(run.data()), kRgbBytes, COLORMODE_RGBf,
                            PIXELCNT_0);
  return run;
}

TEST(CameraWindow, OutsideTheWindowReadsTransparentBlackAndRefusesWrites) {
  const BitmapPtr owned(BaseBitmap::Alloc());
  BaseBitmap& bitmap = *owned;
  ASSERT_TRUE(InitWindowBitmap(bitmap, 10, 8, {3, 2, 4, 3}));
  EXPECT_EQ(bitmap.GetBw(), 10);
  EXPECT_EQ(bitmap.GetBh(), 8);
  const std::vector<Float32> inside(4 * 3, 0.5f);
  EXPECT_TRUE(bitmap.SetPixelCnt(3, 2, 4, reinterpret_cast<const UChar*>(inside.data()), kRgbBytes,
                                 COLORMODE_RGBf, PIXELCNT_0));
  bitmap.SetAlpha(6, 2, 0.25);
  // A run across the window's edges: stored values inside, zeros on both sides.
  bool read = false;
  const std::vector<Float32> run = ReadRun(bitmap, 0, 2, 10, read);
  ASSERT_TRUE(read);
  for (Int32 x = 0; x < 10; ++x)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(run[3 * x + c], x >= 3 && x < 7 ? 0.5f : 0.0f) << x;
  EXPECT_EQ(ReadRun(bitmap, 0, 7, 10, read), std::vector<Float32>(30, 0.0f));
  EXPECT_TRUE(read);
  EXPECT_EQ(bitmap.GetAlpha(6, 2), 0.25);
  EXPECT_EQ(bitmap.GetAlpha(7, 2), 0.0);
  EXPECT_EQ(bitmap.GetPixelFloat(2, 2), Vector());
  // Beyond the frame, or writes that would leave the window, are refused rather than cut.
  ReadRun(bitmap, 5, 2, 6, read);
  EXPECT_FALSE(read);
  EXPECT_FALSE(bitmap.SetPixelCnt(2, 2, 4, reinterpret_cast<const UChar*>(inside.data()), kRgbBytes,
                                  COLORMODE_RGBf, PIXELCNT_0));
  bitmap.SetPixelFloat(0, 0, Vector(1.0));
  EXPECT_EQ(bitmap.GetPixelFloat(0, 0), Vector());
}

TEST(CameraWindow, WindowsOutsideTheFrameAreRefused) {
  const BitmapPtr owned(BaseBitmap::Alloc());
  BaseBitmap& bitmap = *owned;
  EXPECT_FALSE(InitWindowBitmap(bitmap, 10, 8, {8, 0, 4, 1}));
  EXPECT_FALSE(InitWindowBitmap(bitmap, 10, 8, {-1, 0, 2, 2}));
  EXPECT_FALSE(InitWindowBitmap(bitmap, 0, 8, {0, 0, 0, 0}));
  EXPECT_TRUE(InitWindowBitmap(bitmap, 10, 8, {0, 0, 0, 0}));
  EXPECT_EQ(bitmap.GetBw(), 10);
  EXPECT_EQ(bitmap.GetAlpha(0, 0), 0.0);
}

FloatImage MakeImage(Int32 width, Int32 height) {
  FloatImage image;
  EXPECT_TRUE(image.Allocate(width, height));
  return image;
}

// Round trip through the kept camera images: what comes back equals what was rendered, pixel for
// pixel, however the rendered part is shaped (a block, scattered pixels, alpha only, NaN, nothing).
TEST(CameraWindow, StoredCameraImagesLoadBackUnchanged) {
  constexpr Int32 kWidth = 40;
  constexpr Int32 kHeight = 24;
  std::vector<FloatImage> images(4, MakeImage(kWidth, kHeight));
  for (Int32 y = 5; y < 17; ++y)
    for (Int32 x = 10; x < 30; ++x)
      for (int c = 0; c < 4; ++c) images[0].Pixel(x, y)[c] = 0.01f * (x + y) + c;
  images[1].Pixel(0, 23)[1] = 2.0f;
  images[1].Pixel(39, 0)[3] = 1.0f;
  images[2].Pixel(20, 12)[3] = 0.5f;
  images[2].Pixel(21, 12)[0] = std::numeric_limits<Float32>::quiet_NaN();
  CameraBitmaps cameras;
  ASSERT_TRUE(cameras.Allocate(4, kWidth, kHeight));
  for (Int32 k = 0; k < 4; ++k) ASSERT_TRUE(cameras.Store(k, images[k]));
  for (Int32 k = 0; k < 4; ++k) {
    FloatImage back = MakeImage(kWidth, kHeight);
    std::fill(back.rgba.begin(), back.rgba.end(), 7.0f);
    cameras.Load(k, back);
    for (size_t i = 0; i < back.rgba.size(); ++i) {
      const Float32 expected = images[k].rgba[i];
      if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(back.rgba[i])) << k << " " << i;
      else
        EXPECT_EQ(back.rgba[i], expected) << "camera " << k << " value " << i;
    }
  }
}

}  // namespace
