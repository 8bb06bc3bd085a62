#include "paint/font.h"
#include "paint/painter.h"
#include "paint/texture.h"
#include "runtime/bitmap_io.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

using Pixels = std::set<std::pair<Int32, Int32>>;

// A fresh (transparent black) image and its surface.
struct Canvas {
  explicit Canvas(Int32 width, Int32 height = 1, paint::Encoding encoding = paint::Encoding::Linear) {
    EXPECT_TRUE(image.Allocate(width, height, encoding));
  }
  paint::Image image;
  const paint::Surface& surface = image.GetSurface();
  Float32 Red(Int32 x) const { return surface.Pixel(x, 0)[0]; }

  // Pixels with any alpha.
  Pixels Painted() const {
    Pixels painted;
    for (Int32 y = 0; y < surface.height; ++y)
      for (Int32 x = 0; x < surface.width; ++x)
        if (surface.Pixel(x, y)[3] > 0.0f) painted.insert({x, y});
    return painted;
  }
};

TEST(Painter, LinesIncludeBothEndsAndClipWithoutMovingPixels) {
  const Canvas whole(40, 30, paint::Encoding::Display), clipped(40, 30, paint::Encoding::Display);
  paint::Painter(whole.surface).DrawLine(2, 3, 37, 20);
  const Pixels line = whole.Painted();
  EXPECT_TRUE(line.count({2, 3}) && line.count({37, 20}));
  EXPECT_EQ(line.size(), 36u);  // one pixel per column of the major axis

  // The same line from far outside, clipped to a window: exactly the window's share of it.
  paint::Painter window(clipped.surface);
  window.SetClip({10, 0, 25, 29});
  const Int32 far = 1000000;
  window.DrawLine(2 - 35 * far, 3 - 17 * far, 37 + 35 * far, 20 + 17 * far);
  Pixels expected;
  for (const auto& p : line)
    if (p.first >= 10 && p.first <= 25) expected.insert(p);
  EXPECT_EQ(clipped.Painted(), expected);

  // Bitmaps draw the same pixels through the same walk (either direction), and a line with ends two
  // billion pixels away costs only its visible part.
  BitmapPtr bitmap(BaseBitmap::Alloc());
  ASSERT_EQ(bitmap->Init(40, 30, 32), IMAGERESULT_OK);
  bitmap->SetPen(255, 255, 255);
  bitmap->Line(37, 20, 2, 3);
  bitmap->Line(INT32_MIN, 0, INT32_MAX, 0);
  Pixels drawn, both = line;
  for (Int32 y = 0; y < 30; ++y)
    for (Int32 x = 0; x < 40; ++x)
      if (bitmap->GetPixelFloat(x, y).x > 0.5) drawn.insert({x, y});
  for (Int32 x = 0; x < 40; ++x) both.insert({x, 0});
  EXPECT_EQ(drawn, both);
}

TEST(Painter, RectanglesAreInclusiveClippedAndBlendSourceOver) {
  const Canvas canvas(8, 8);
  paint::Painter painter(canvas.surface);
  painter.SetPen({1.0f, 0.0f, 0.0f, 1.0f});
  painter.FillRect({-5, -5, 2, 3});
  EXPECT_EQ(canvas.Painted().size(), 3u * 4u);
  painter.SetPen({0.0f, 0.0f, 1.0f, 0.5f});
  painter.FillRect({2, 3, 2, 3});
  const Float32* pixel = canvas.surface.Pixel(2, 3);
  EXPECT_EQ(std::vector<Float32>(pixel, pixel + 4), std::vector<Float32>({0.5f, 0.0f, 0.5f, 1.0f}))
      << "premultiplied red under half blue";
}

TEST(Texture, OneToOneIsExactTransparentTexelsLeaveBitsAndEncodingsConvert) {
  // 4 x 1 texels: display-encoded grey 0.5, opaque except the last.
  const std::vector<Float32> rgb(12, 0.5f), alpha = {1.0f, 1.0f, 1.0f, 0.0f};
  const paint::TextureView texture{4, 1, rgb.data(), alpha.data(), paint::Encoding::Display};
  const Canvas canvas(6);
  for (Int32 x = 0; x < 6; ++x) canvas.surface.Pixel(x, 0)[0] = 0.125f + x;
  paint::TextureDraw draw{1.5, 0.5, 4.5, 0.5};  // centres of pixels 1..4
  paint::DrawTexture(paint::Painter(canvas.surface), texture, draw);
  EXPECT_EQ(canvas.Red(0), 0.125f);
  for (Int32 x = 1; x <= 3; ++x) EXPECT_NEAR(canvas.Red(x), 0.2140f, 1e-4) << x;  // linear 0.5
  EXPECT_EQ(canvas.Red(4), 4.125f);  // transparent texel: untouched
  EXPECT_EQ(canvas.Red(5), 5.125f);
  // Coverage at or below the least a blend takes leaves the pixels too.
  draw.minCoverage = 1.0f;
  canvas.surface.Pixel(1, 0)[0] = 1.125f;
  paint::DrawTexture(paint::Painter(canvas.surface), texture, draw);
  EXPECT_EQ(canvas.Red(1), 1.125f);
}

TEST(Texture, ShrinkingAveragesAndEnlargingInterpolates) {
  // Stripes 0, 1, 0, 1 (linear) shrunk to two pixels average to a half each.
  const std::vector<Float32> rgb = {0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 1};
  const Canvas two(2), five(5);
  paint::DrawTexture(paint::Painter(two.surface), {4, 1, rgb.data(), nullptr, paint::Encoding::Linear},
                     {0.5, 0.5, 1.5, 0.5, paint::Filter::Area});
  EXPECT_FLOAT_EQ(two.Red(0), 0.5f);
  EXPECT_FLOAT_EQ(two.Red(1), 0.5f);
  // Two texels 0 and 1 enlarged over five pixels: a straight ramp.
  paint::DrawTexture(paint::Painter(five.surface), {2, 1, rgb.data() + 6, nullptr, paint::Encoding::Linear},
                     {0.5, 0.5, 4.5, 0.5, paint::Filter::Bilinear});
  for (Int32 x = 0; x < 5; ++x) EXPECT_NEAR(five.Red(x), x * 0.25f, 1e-6) << x;
}

TEST(Font, MeasuresWhatItDrawsAndSurvivesBadText) {
  paint::Font font;
  std::string error;
  ASSERT_TRUE(font.Load(paint::FindFontFile(paint::FontKind::Proportional), error)) << error;
  font.SetSize(20.0);
  const Canvas canvas(300, 40, paint::Encoding::Display);
  paint::Painter painter(canvas.surface);
  painter.SetPen({1.0f, 1.0f, 1.0f, 1.0f});
  const std::string text = "Orvex 360 Cam";
  font.Draw(painter, 10, 5, text);
  Int32 right = -1;
  for (const auto& [x, y] : canvas.Painted()) {
    EXPECT_TRUE(x >= 10 && x <= 10 + font.TextWidth(text) && y >= 5 && y <= 5 + font.LineHeight())
        << x << "," << y;
    right = std::max(right, x);
  }
  EXPECT_GT(right, 10 + font.TextWidth(text) - 4);  // the text reaches its measured width

  // Broken UTF-8 measures as replacement characters; sizes are clamped.
  EXPECT_EQ(font.TextWidth("a\xff"
                           "b"),
            font.TextWidth("a\xEF\xBF\xBD"
                           "b"));
  EXPECT_EQ(font.TextWidth("\xE2\x82"), font.TextWidth("\xEF\xBF\xBD"));
  font.SetSize(0.0);
  EXPECT_EQ(font.GetSize(), paint::Font::kMinSize);
  font.SetSize(-1e300);
  EXPECT_GE(font.LineHeight(), 1);
  font.Draw(painter, -5, -5, "\xF0\x9F\x98\x80 \xC3\xA9t\xC3\xA9");
}

}  // namespace
