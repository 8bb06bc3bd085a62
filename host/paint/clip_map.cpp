#include "c4d_clipmap.h"

#include "paint/font.h"
#include "paint/painter.h"
#include "runtime/bitmap_record.h"
#include "runtime/bitmap_window.h"
#include "runtime/console.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

namespace {
constexpr Int32 kFontKindId = 500;  // where a font description keeps the font's kind

Float32 FromByte(Int32 value) { return static_cast<Float32>(std::clamp(value, 0, 255)) / 255.0f; }
Int32 ToByte(Float32 value) {
  return static_cast<Int32>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

// Adds `rect` (in 64 bits, so that far-off text cannot overflow), kept inside `bounds`, to the painted
// rectangles; many small ones (single pixels) merge into their common bounds.
void Include(std::vector<paint::PixelRect>& painted, const std::array<Int64, 4>& rect,
             const paint::PixelRect& bounds) {
  if (rect[2] < bounds.x0 || rect[0] > bounds.x1 || rect[3] < bounds.y0 || rect[1] > bounds.y1) return;
  const auto clamp = [](Int64 value, Int32 low, Int32 high) {
    return static_cast<Int32>(std::clamp<Int64>(value, low, high));
  };
  painted.push_back({clamp(rect[0], bounds.x0, bounds.x1), clamp(rect[1], bounds.y0, bounds.y1),
                     clamp(rect[2], bounds.x0, bounds.x1), clamp(rect[3], bounds.y0, bounds.y1)});
  constexpr size_t kMostRectangles = 64;
  if (painted.size() <= kMostRectangles) return;
  paint::PixelRect all = painted.front();
  for (const paint::PixelRect& r : painted)
    all = {std::min(all.x0, r.x0), std::min(all.y0, r.y0), std::max(all.x1, r.x1), std::max(all.y1, r.y1)};
  painted.assign(1, all);
}
}  // namespace

// A clip map paints display-encoded values, as an 8-bit image holds them.
struct ClipMapRecord {
  paint::Image image;
  paint::Colour pen{0.0f, 0.0f, 0.0f, 1.0f};
  paint::Font font;
  Int32 fontKind = -1;  // the kind loaded into `font`, -1 none
  bool withAlpha = true;
  bool changed = false;  // pixels differ from the bitmap
  // Rectangles holding every pixel drawn since Init (the rest is transparent black).
  std::vector<paint::PixelRect> painted;
  BaseBitmap* bitmap = nullptr;

  ~ClipMapRecord() { BaseBitmap::Free(bitmap); }
  paint::Painter MakePainter() const {
    paint::Painter painter(image.GetSurface());
    painter.SetPen(pen);
    return painter;
  }
};

GeClipMap::GeClipMap() : record_(std::make_unique<ClipMapRecord>()) {}
GeClipMap::~GeClipMap() = default;

GeClipMap* GeClipMap::Alloc() {
  try {
    return new GeClipMap();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void GeClipMap::Free(GeClipMap*& map) {
  delete map;
  map = nullptr;
}

IMAGERESULT GeClipMap::Init(Int32 w, Int32 h, Int32 bits) {
  BaseBitmap::Free(record_->bitmap);
  record_->withAlpha = bits == 32;
  record_->changed = true;
  record_->painted.clear();
  if (!record_->image.Allocate(w, h, paint::Encoding::Display)) {
    GePrint("GeClipMap: cannot make a surface of " + std::to_string(w) + " x " + std::to_string(h) +
            " pixels");
    return w > 0 && h > 0 ? IMAGERESULT_OUTOFMEMORY : IMAGERESULT_WRONGTYPE;
  }
  return IMAGERESULT_OK;
}

void GeClipMap::BeginDraw() { record_->changed = true; }
void GeClipMap::EndDraw() { GetBitmap(); }

Int32 GeClipMap::GetBw() const { return record_->image.GetSurface().width; }
Int32 GeClipMap::GetBh() const { return record_->image.GetSurface().height; }

void GeClipMap::SetColor(Int32 r, Int32 g, Int32 b, Int32 a) {
  record_->pen = {FromByte(r), FromByte(g), FromByte(b), FromByte(a)};
}

void GeClipMap::GetDefaultFont(GE_FONT_DEFAULT kind, BaseContainer* description) {
  if (description) description->SetInt32(kFontKindId, kind);
}

Bool GeClipMap::SetFont(const BaseContainer* description, Float size) {
  const Int32 kind = description ? description->GetInt32(kFontKindId) : GE_FONT_DEFAULT_SYSTEM;
  if (kind != record_->fontKind) {
    const paint::FontKind fontKind =
        kind == GE_FONT_DEFAULT_MONOSPACED ? paint::FontKind::Monospaced : paint::FontKind::Proportional;
    std::string error;
    if (!record_->font.Load(paint::FindFontFile(fontKind), error)) {
      GePrint("GeClipMap: " + error);
      record_->fontKind = -1;
      return false;
    }
    record_->fontKind = kind;
  }
  record_->font.SetSize(size);
  return true;
}

Int32 GeClipMap::GetTextWidth(const String& text) { return record_->font.TextWidth(text.GetStdString()); }
Int32 GeClipMap::GetTextHeight() { return record_->font.LineHeight(); }

void GeClipMap::TextAt(Int32 x, Int32 y, const String& text) {
  if (record_->image.GetSurface().IsEmpty()) return;
  record_->font.Draw(record_->MakePainter(), x, y, text.GetStdString());
  record_->changed = true;
  // Glyphs may reach a font size beyond their advance box on any side.
  const Int64 reach = static_cast<Int64>(std::ceil(record_->font.GetSize())) + 1;
  const Int64 width = record_->font.TextWidth(text.GetStdString());
  const Int64 height = record_->font.LineHeight();
  Include(record_->painted, {x - reach, y - reach, x + width + reach, y + height + reach},
          record_->image.GetSurface().Bounds());
}

void GeClipMap::GetPixelRGBA(Int32 x, Int32 y, Int32* r, Int32* g, Int32* b, Int32* a) const {
  const paint::Surface& surface = record_->image.GetSurface();
  const bool inside = x >= 0 && y >= 0 && x < surface.width && y < surface.height;
  const Float32 none[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  const Float32* pixel = inside ? surface.Pixel(x, y) : none;
  if (r) *r = ToByte(pixel[0]);
  if (g) *g = ToByte(pixel[1]);
  if (b) *b = ToByte(pixel[2]);
  if (a) *a = ToByte(pixel[3]);
}

void GeClipMap::SetPixelRGBA(Int32 x, Int32 y, Int32 r, Int32 g, Int32 b, Int32 a) {
  const paint::Surface& surface = record_->image.GetSurface();
  if (x < 0 || y < 0 || x >= surface.width || y >= surface.height) return;
  Float32* pixel = surface.Pixel(x, y);
  pixel[0] = FromByte(r);
  pixel[1] = FromByte(g);
  pixel[2] = FromByte(b);
  pixel[3] = FromByte(a);
  record_->changed = true;
  Include(record_->painted, {x, y, x, y}, surface.Bounds());
}

namespace {
// The smallest window holding every painted rectangle; a single pixel when nothing was painted, so
// that the bitmap still shows the surface's size.
PixelWindow PaintedWindow(const std::vector<paint::PixelRect>& painted) {
  if (painted.empty()) return {0, 0, 1, 1};
  paint::PixelRect all = painted.front();
  for (const paint::PixelRect& r : painted)
    all = {std::min(all.x0, r.x0), std::min(all.y0, r.y0), std::max(all.x1, r.x1), std::max(all.y1, r.y1)};
  return {all.x0, all.y0, all.x1 - all.x0 + 1, all.y1 - all.y0 + 1};
}
}  // namespace

// With alpha the bitmap is a window around the painted pixels (the rest reads as transparent
// black, as the surface holds it), so that a dome-sized map of a few lines of text costs what the
// text covers.
BaseBitmap* GeClipMap::GetBitmap() {
  const paint::Surface& surface = record_->image.GetSurface();
  if (surface.IsEmpty()) return nullptr;
  if (!record_->bitmap) {
    record_->bitmap = BaseBitmap::Alloc();
    record_->changed = true;
  }
  if (!record_->bitmap || !record_->changed) return record_->bitmap;
  const PixelWindow window =
      record_->withAlpha ? PaintedWindow(record_->painted) : PixelWindow{0, 0, surface.width, surface.height};
  const bool made = record_->withAlpha
                        ? InitWindowBitmap(*record_->bitmap, surface.width, surface.height, window)
                        : record_->bitmap->Init(surface.width, surface.height, 24) == IMAGERESULT_OK;
  if (!made) {
    BaseBitmap::Free(record_->bitmap);
    return nullptr;
  }
  BitmapRecord& bitmap = record_->bitmap->GetRecord();
  // The fresh bitmap is transparent black: only the painted rectangles need copying.
  for (const paint::PixelRect& painted : record_->painted) {
    for (Int32 y = painted.y0; y <= painted.y1; ++y) {
      for (Int32 x = painted.x0; x <= painted.x1; ++x) {
        const size_t i = bitmap.Index(x - window.left, y - window.top);
        const Float32* pixel = surface.Pixel(x, y);
        std::copy(pixel, pixel + 3, bitmap.rgb.begin() + static_cast<std::ptrdiff_t>(i * 3));
        if (record_->withAlpha) bitmap.alpha[i] = pixel[3];
      }
    }
  }
  record_->changed = false;
  return record_->bitmap;
}
