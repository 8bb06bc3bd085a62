#include "c4d.h"
#include "paint/texture.h"
#include "runtime/bitmap_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ClipMapFree {
  void operator()(GeClipMap* map) const { GeClipMap::Free(map); }
};

// A map much larger than its text: the bitmap stores only the painted rectangle, and a texture drawn
// from it covers the same pixels as one drawn from every texel, whatever the filter and scale.
TEST(WindowTexture, AClipMapBitmapStoresItsTextOnlyAndDrawsAsTheWholeMap) {
  std::unique_ptr<GeClipMap, ClipMapFree> map(GeClipMap::Alloc());
  ASSERT_EQ(map->Init(400, 300, 32), IMAGERESULT_OK);
  map->BeginDraw();
  map->SetColor(255, 255, 255, 255);
  BaseContainer font;
  GeClipMap::GetDefaultFont(GE_FONT_DEFAULT_SYSTEM, &font);
  map->SetFont(&font, 14.0);
  map->TextAt(250, 200, "Frame 42");
  map->EndDraw();
  const BitmapRecord& window = map->GetBitmap()->GetRecord();
  EXPECT_EQ(map->GetBitmap()->GetBw(), 400);
  EXPECT_LT(window.width * window.height, 400 * 300 / 20);

  // The same texels laid out whole.
  std::vector<Float32> rgb(400 * 300 * 3, 0.0f), alpha(400 * 300, 0.0f);
  for (Int32 y = 0; y < 300; ++y) {
    for (Int32 x = 0; x < 400; ++x) {
      const Vector colour = map->GetBitmap()->GetPixelFloat(x, y);
      const size_t i = static_cast<size_t>(y) * 400 + x;
      rgb[i * 3] = static_cast<Float32>(colour.x);
      rgb[i * 3 + 1] = static_cast<Float32>(colour.y);
      rgb[i * 3 + 2] = static_cast<Float32>(colour.z);
      alpha[i] = static_cast<Float32>(map->GetBitmap()->GetAlpha(x, y));
    }
  }
  const paint::TextureView whole{400, 300, rgb.data(), alpha.data(), paint::Encoding::Display};
  paint::TextureView windowed{window.width, window.height, window.rgb.data(), window.alpha.data(),
                              paint::Encoding::Display};
  windowed.left = window.left;
  windowed.top = window.top;
  windowed.frameWidth = window.frameWidth;
  windowed.frameHeight = window.frameHeight;

  for (const paint::Filter filter : {paint::Filter::Nearest, paint::Filter::Bilinear, paint::Filter::Area}) {
    // Enlarged and shrunk, flipped on one axis.
    for (const Float scale : {1.37, 0.41}) {
      paint::TextureDraw draw;
      draw.x0 = 3.5;
      draw.y0 = 300.0 * scale + 2.0;
      draw.x1 = 3.5 + 400.0 * scale;
      draw.y1 = 2.0;
      draw.filter = filter;
      std::vector<Float32> expected(640 * 420 * 4, 0.25f), actual(expected);
      paint::DrawTexture(paint::Painter(paint::Surface{640, 420, expected.data(), paint::Encoding::Linear}),
                         whole, draw);
      paint::DrawTexture(paint::Painter(paint::Surface{640, 420, actual.data(), paint::Encoding::Linear}),
                         windowed, draw);
      EXPECT_EQ(actual, expected) << static_cast<int>(filter) << " at " << scale;
    }
  }
}

}  // namespace
