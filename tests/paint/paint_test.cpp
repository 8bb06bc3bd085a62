#include "c4d.h"
#include "paint/font.h"
#include "paint/painter.h"
#include "paint/raster3d.h"
#include "paint/texture.h"
#include "runtime/bitmap_io.h"
#include "runtime/bitmap_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The host's 2D painting core (lines, rectangles, textures, fonts), its clip maps and the 3D
// rasterizer of the viewport.

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
  EXPECT_EQ(font.TextWidth("a\xffz"), font.TextWidth("a\xEF\xBF\xBDz"));
  EXPECT_EQ(font.TextWidth("\xE2\x82"), font.TextWidth("\xEF\xBF\xBD"));
  font.SetSize(0.0);
  EXPECT_EQ(font.GetSize(), paint::Font::kMinSize);
  font.SetSize(-1e300);
  EXPECT_GE(font.LineHeight(), 1);
  font.Draw(painter, -5, -5, "\xF0\x9F\x98\x80 \xC3\xA9t\xC3\xA9");
}

struct ClipMapFree {
  void operator()(GeClipMap* map) const { GeClipMap::Free(map); }
};
using ClipMapPtr = std::unique_ptr<GeClipMap, ClipMapFree>;

// White text in the system font on a fresh map.
ClipMapPtr TextMap(Int32 width, Int32 height, Int32 x, Int32 y, const char* text, Float size) {
  ClipMapPtr map(GeClipMap::Alloc());
  EXPECT_EQ(map->Init(width, height, 32), IMAGERESULT_OK);
  map->BeginDraw();
  map->SetColor(255, 255, 255, 255);
  BaseContainer font;
  GeClipMap::GetDefaultFont(GE_FONT_DEFAULT_SYSTEM, &font);
  EXPECT_TRUE(map->SetFont(&font, size));
  map->TextAt(x, y, text);
  map->EndDraw();
  return map;
}

// The title drawn with DejaVu matches the committed image within a tolerance (FreeType versions
// may move a few pixel values a little); white text on a fresh map leaves its coverage in every
// channel, and the map's bitmap holds the same coverage as alpha. ORVEX_UPDATE_GOLDEN=1 rewrites it.
TEST(ClipMap, TitleMatchesItsGoldenImageInEveryChannel) {
  const ClipMapPtr map = TextMap(160, 32, 4, 4, "Orvex 360 Cam", 18.0);
  BaseBitmap* bitmap = map->GetBitmap();
  ASSERT_TRUE(bitmap && bitmap->HasAlpha());
  const std::string golden = std::string(ORVEX_TEST_DATA) + "/title_golden.png";
  if (std::getenv("ORVEX_UPDATE_GOLDEN")) {
    std::string error;
    ASSERT_TRUE(SaveBitmap(*bitmap, golden, error)) << error;
  }
  BitmapPtr expected(BaseBitmap::Alloc());
  ASSERT_EQ(expected->Init(Filename(String(golden))), IMAGERESULT_OK);
  ASSERT_EQ(std::pair(expected->GetBw(), expected->GetBh()), std::pair(map->GetBw(), map->GetBh()));
  double total = 0.0;
  Int32 worst = 0;
  for (Int32 y = 0; y < map->GetBh(); ++y) {
    for (Int32 x = 0; x < map->GetBw(); ++x) {
      Int32 r = 0, g = 0, b = 0, a = 0;
      map->GetPixelRGBA(x, y, &r, &g, &b, &a);
      ASSERT_TRUE(r == g && g == b && b == a) << x << "," << y;
      ASSERT_NEAR(bitmap->GetAlpha(x, y) * 255.0, a, 0.5) << x << "," << y;
      const Int32 difference =
          std::abs(a - static_cast<Int32>(std::lround(expected->GetAlpha(x, y) * 255.0)));
      worst = std::max(worst, difference);
      total += difference;
    }
  }
  EXPECT_LE(total / (map->GetBw() * map->GetBh()), 2.0);
  EXPECT_LE(worst, 96);
}

TEST(ClipMap, PixelsRoundTripAndBadSizesAreRefused) {
  ClipMapPtr map(GeClipMap::Alloc());
  EXPECT_NE(map->Init(0, 0, 32), IMAGERESULT_OK);
  EXPECT_EQ(map->GetBitmap(), nullptr);
  map->TextAt(0, 0, "nothing to draw on");  // no surface: nothing happens
  ASSERT_EQ(map->Init(3, 2, 32), IMAGERESULT_OK);
  map->SetPixelRGBA(2, 1, 10, 20, 30, 40);
  map->SetPixelRGBA(5, 5, 1, 1, 1, 1);  // outside: ignored
  Int32 r = 0, g = 0, b = 0, a = 0;
  map->GetPixelRGBA(2, 1, &r, &g, &b, &a);
  EXPECT_EQ(std::vector<Int32>({r, g, b, a}), std::vector<Int32>({10, 20, 30, 40}));
  // A font size below one pixel draws at one pixel.
  BaseContainer font;
  GeClipMap::GetDefaultFont(GE_FONT_DEFAULT_MONOSPACED, &font);
  EXPECT_TRUE(map->SetFont(&font, 0.01));
  EXPECT_GE(map->GetTextHeight(), 1);
  map->TextAt(0, 0, "tiny");
}

// A map much larger than its text: the bitmap stores only the painted rectangle, and a texture drawn
// from it covers the same pixels as one drawn from every texel, whatever the filter and scale.
TEST(WindowTexture, AClipMapBitmapStoresItsTextOnlyAndDrawsAsTheWholeMap) {
  const ClipMapPtr map = TextMap(400, 300, 250, 200, "Frame 42", 14.0);
  const BaseBitmap& bitmap = *map->GetBitmap();
  const BitmapRecord& window = bitmap.GetRecord();
  EXPECT_EQ(bitmap.GetBw(), 400);
  EXPECT_LT(window.width * window.height, 400 * 300 / 20);
  std::vector<Float32> rgb, alpha;  // the same texels laid out whole
  for (Int32 y = 0; y < 300; ++y) {
    for (Int32 x = 0; x < 400; ++x) {
      const Vector colour = bitmap.GetPixelFloat(x, y);
      rgb.insert(rgb.end(), {Float32(colour.x), Float32(colour.y), Float32(colour.z)});
      alpha.push_back(Float32(bitmap.GetAlpha(x, y)));
    }
  }
  const paint::TextureView whole{400, 300, rgb.data(), alpha.data(), paint::Encoding::Display};
  const paint::TextureView windowed{
      window.width, window.height, window.rgb.data(), window.alpha.data(), paint::Encoding::Display,
      window.left,  window.top,    window.frameWidth, window.frameHeight};
  for (const paint::Filter filter : {paint::Filter::Nearest, paint::Filter::Bilinear, paint::Filter::Area}) {
    for (const Float scale : {1.37, 0.41}) {  // enlarged and shrunk, flipped on one axis
      const paint::TextureDraw draw{3.5, 300.0 * scale + 2.0, 3.5 + 400.0 * scale, 2.0, filter};
      std::vector<Float32> expected(640 * 420 * 4, 0.25f), actual(expected);
      paint::DrawTexture(paint::Painter({640, 420, expected.data(), paint::Encoding::Linear}), whole, draw);
      paint::DrawTexture(paint::Painter({640, 420, actual.data(), paint::Encoding::Linear}), windowed, draw);
      EXPECT_EQ(actual, expected) << static_cast<int>(filter) << " at " << scale;
    }
  }
}

// A 64 x 64 view from the origin along +Z; at depth 32 one scene unit is one pixel.
class RasterTest : public testing::Test {
 protected:
  void SetUp() override {
    paint::ViewCamera camera;
    camera.width = camera.height = 64;
    camera.horizontalFov = 2.0 * std::atan(1.0);  // 90 degrees
    ASSERT_TRUE(raster_.Begin(canvas_.surface, camera));
  }

  const Float32* At(Int32 x, Int32 y) const { return canvas_.surface.Pixel(x, y); }

  void Square(Float depth, const paint::Colour& colour, Float half = 16.0) {
    const paint::RasterVertex a{Vector(-half, -half, depth), colour}, b{Vector(half, -half, depth), colour},
        c{Vector(half, half, depth), colour}, d{Vector(-half, half, depth), colour};
    raster_.Triangle({a, b, c}, style_);
    raster_.Triangle({a, c, d}, style_);
  }

  const Canvas canvas_{64, 64};
  paint::Raster3D raster_;
  paint::RasterStyle style_{.colour = {0, 1, 0, 1}};  // green lines and points
};

TEST_F(RasterTest, NearerSurfacesHideLinesUnlessTheDepthTestIsOff) {
  Square(32.0, {1, 0, 0, 1});
  raster_.Line(Vector(-40, 0, 64), Vector(40, 0, 64), style_);  // behind the square
  EXPECT_EQ(At(32, 32)[0], 1.0f);
  EXPECT_EQ(At(14, 32)[1], 1.0f);  // beside the square the line shows
  style_.depthTest = false;
  raster_.Line(Vector(-40, 0, 64), Vector(40, 0, 64), style_);
  EXPECT_EQ(At(32, 32)[1], 1.0f);
}

TEST_F(RasterTest, LineZOffsetBringsALineJustBehindASurfaceToTheFront) {
  Square(32.0, {1, 0, 0, 1});
  raster_.Line(Vector(-8, 0, 32.02), Vector(8, 0, 32.02), style_);
  EXPECT_EQ(At(32, 32)[1], 0.0f);
  style_.lineZOffset = -10;
  raster_.Line(Vector(-8, 0, 32.02), Vector(8, 0, 32.02), style_);
  EXPECT_EQ(At(32, 32)[1], 1.0f);
}

TEST_F(RasterTest, TranslucentQuadBlendsOnceAndHidesNothing) {
  Square(32.0, {1, 1, 1, 0.25f});
  for (Int32 y = 17; y < 47; ++y)
    for (Int32 x = 17; x < 47; ++x) ASSERT_FLOAT_EQ(At(x, y)[3], 0.25f) << x << "," << y;  // no seam
  Square(64.0, {0, 0, 1, 1}, 8.0);  // farther and opaque, drawn afterwards
  EXPECT_EQ(At(32, 32)[2], 1.0f);
}

TEST_F(RasterTest, NearPlaneAndNonFinitePointsAreSafe) {
  raster_.Line(Vector(0, 0, -100), Vector(0, 0, 100), style_);  // through the eye: a point at the centre
  raster_.Line(Vector(NAN, 0, 10), Vector(0, 0, 10), style_);
  raster_.Line(Vector(1e306, 0, 10), Vector(0, 0, 10), style_);  // its screen end overflows
  raster_.Triangle({{Vector(0, 0, -5), {}}, {Vector(1e300, 0, 5), {}}, {Vector(0, 1e300, 5), {}}}, style_);
  raster_.Point(Vector(0, 0, 0), 4.0, style_);  // at the eye: nothing
  EXPECT_EQ(At(32, 32)[3], 1.0f);
  EXPECT_EQ(At(0, 0)[3], 0.0f);
}

TEST_F(RasterTest, ThickLinesAndPointsSpanTheirSize) {
  style_.lineWidth = 5;
  raster_.Line(Vector(-20, 0, 32), Vector(20, 0, 32), style_);
  for (Int32 y = 30; y <= 34; ++y) EXPECT_EQ(At(32, y)[3], 1.0f) << y;
  EXPECT_EQ(At(32, 29)[3], 0.0f);
  EXPECT_EQ(At(32, 35)[3], 0.0f);
  raster_.Point(Vector(16, -16, 32), 4.0, style_);  // pixels 46..49 across, centred on (48, 48)
  EXPECT_EQ(At(46, 46)[3], 1.0f);
  EXPECT_EQ(At(49, 49)[3], 1.0f);
  EXPECT_EQ(At(50, 48)[3], 0.0f);
}

}  // namespace
