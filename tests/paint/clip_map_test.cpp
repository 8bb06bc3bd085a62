#include "c4d.h"
#include "paint/texture.h"
#include "runtime/bitmap_io.h"
#include "runtime/bitmap_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

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
  ASSERT_EQ(expected->GetBw(), map->GetBw());
  ASSERT_EQ(expected->GetBh(), map->GetBh());
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

}  // namespace
