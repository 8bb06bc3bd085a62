#pragma once

#include "c4d_bitmap.h"
#include "c4d_gedata.h"

#include <memory>

struct ClipMapRecord;  // the host's painting state

// The host's built-in fonts by kind.
enum GE_FONT_DEFAULT : Int32 { GE_FONT_DEFAULT_SYSTEM = 0, GE_FONT_DEFAULT_MONOSPACED = 1 };

// A 2D drawing surface with text. Colours are 8-bit values 0..255; drawing blends the colour over
// what is there by its coverage, so white text on a fresh (transparent black) map leaves its
// coverage in every channel. Pixel access reads and writes the stored channels as they are.
class GeClipMap {
 public:
  static GeClipMap* Alloc();
  static void Free(GeClipMap*& map);
  ~GeClipMap();

  // A transparent black surface of w x h pixels; bits 32 (with alpha) or 24.
  [[nodiscard]] IMAGERESULT Init(Int32 w, Int32 h, Int32 bits = 32);
  // Drawing calls work between these two; the bitmap follows at EndDraw.
  void BeginDraw();
  void EndDraw();

  Int32 GetBw() const;
  Int32 GetBh() const;

  void SetColor(Int32 r, Int32 g, Int32 b, Int32 a = 255);
  // Fills `description` with the host's default font of that kind.
  static void GetDefaultFont(GE_FONT_DEFAULT kind, BaseContainer* description);
  // Uses that font at `size` pixels (clamped to at least one); false when it cannot be loaded.
  Bool SetFont(const BaseContainer* description, Float size);
  Int32 GetTextWidth(const String& text);
  Int32 GetTextHeight();
  // Text with its top-left corner at (x, y), clipped to the surface.
  void TextAt(Int32 x, Int32 y, const String& text);

  void GetPixelRGBA(Int32 x, Int32 y, Int32* r, Int32* g, Int32* b, Int32* a) const;
  void SetPixelRGBA(Int32 x, Int32 y, Int32 r, Int32 g, Int32 b, Int32 a = 255);

  // The surface as a bitmap, owned by the map; null before Init.
  BaseBitmap* GetBitmap();

 private:
  GeClipMap();
  std::unique_ptr<ClipMapRecord> record_;
};
