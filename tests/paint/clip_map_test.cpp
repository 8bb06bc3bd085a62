#include "c4d.h"
#include "runtime/bitmap_io.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

struct ClipMapFree {
  void operator()(GeClipMap* map) const { GeClipMap::Free(map); }
};
using ClipMapPtr = std::unique_ptr<GeClipMap, ClipMapFree>;

ClipMapPtr TitleMap() {
  ClipMapPtr map(GeClipMap::Alloc());
  EXPECT_EQ(map->Init(160, 32, 32), IMAGERESULT_OK);
  map->BeginDraw();
  map->SetColor(255, 255, 255, 255);
  BaseContainer font;
  GeClipMap::GetDefaultFont(GE_FONT_DEFAULT_SYSTEM, &font);
  EXPECT_TRUE(map->SetFont(&font, 18.0));
  map->TextAt(4, 4, "Orvex 360 Cam");
  map->EndDraw();
  return map;
}

TEST(ClipMap, WhiteTextOnAFreshMapLeavesItsCoverageInEveryChannel) {
  const ClipMapPtr map = TitleMap();
  Int32 covered = 0;
  for (Int32 y = 0; y < map->GetBh(); ++y) {
    for (Int32 x = 0; x < map->GetBw(); ++x) {
      Int32 r = 0, g = 0, b = 0, a = 0;
      map->GetPixelRGBA(x, y, &r, &g, &b, &a);
      ASSERT_TRUE(r == g && g == b && b == a) << x << "," << y;
      covered += r > 0;
    }
  }
  EXPECT_GT(covered, 100);
  // The bitmap holds the same pixels, with alpha.
  BaseBitmap* bitmap = map->GetBitmap();
  ASSERT_TRUE(bitmap && bitmap->HasAlpha());
  Int32 r = 0, g = 0, b = 0, a = 0;
  map->GetPixelRGBA(10, 15, &r, &g, &b, &a);
  EXPECT_NEAR(bitmap->GetAlpha(10, 15) * 255.0, a, 0.5);
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

// The title drawn with DejaVu matches the committed image within a tolerance (FreeType versions
// may move a few pixel values a little). ORVEX_UPDATE_GOLDEN=1 rewrites it.
TEST(ClipMap, TitleMatchesItsGoldenImage) {
  const ClipMapPtr map = TitleMap();
  const std::string golden = std::string(ORVEX_TEST_DATA) + "/title_golden.png";
  if (std::getenv("ORVEX_UPDATE_GOLDEN")) {
    std::string error;
    ASSERT_TRUE(SaveBitmap(*map->GetBitmap(), golden, error)) << error;
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
      const Int32 want = static_cast<Int32>(std::lround(expected->GetAlpha(x, y) * 255.0));
      worst = std::max(worst, std::abs(a - want));
      total += std::abs(a - want);
    }
  }
  EXPECT_LE(total / (map->GetBw() * map->GetBh()), 2.0);
  EXPECT_LE(worst, 96);
}

}  // namespace
