#pragma once

#include "c4d_general.h"
#include "c4d_math.h"
#include "c4d_string.h"

#include <memory>

struct BitmapRecord;  // the host's pixel storage

enum IMAGERESULT : Int32 {
  IMAGERESULT_OK = 1,
  IMAGERESULT_NOTEXISTING = -1,
  IMAGERESULT_WRONGTYPE = -2,
  IMAGERESULT_OUTOFMEMORY = -3,
};
enum COLORBYTES : Int32 { COLORBYTES_RGB = 3, COLORBYTES_RGBA = 4 };
// Pixel layouts of row access; only three 32-bit floats per pixel (red, green, blue) so far.
enum COLORMODE : Int32 { COLORMODE_RGBf = 36 };
enum PIXELCNT : Int32 { PIXELCNT_0 = 0 };
using UChar = unsigned char;

// An RGB image with an optional alpha channel; float channels 0..1 (unclamped).
class BaseBitmap {
 public:
  static BaseBitmap* Alloc();
  static void Free(BaseBitmap*& bitmap);
  ~BaseBitmap();

  [[nodiscard]] IMAGERESULT Init(Int32 width, Int32 height, Int32 depth = 32);
  [[nodiscard]] IMAGERESULT Init(const Filename& name);  // load from a file
  void FlushAll();

  Int32 GetBw() const;
  Int32 GetBh() const;
  Bool IsEmpty() const { return GetBw() == 0 || GetBh() == 0; }

  // 8-bit access, as the host's classic bitmap API.
  void GetPixel(Int32 x, Int32 y, UInt32* r, UInt32* g, UInt32* b) const;
  Bool SetPixel(Int32 x, Int32 y, Int32 r, Int32 g, Int32 b);
  // Float access without clamping.
  Vector GetPixelFloat(Int32 x, Int32 y) const;
  void SetPixelFloat(Int32 x, Int32 y, const Vector& rgb);
  // Row access: cnt pixels of row y from column x, packed in buffer (inc 12 bytes per pixel for
  // COLORMODE_RGBf). False, with nothing copied, for another layout or a run outside the image.
  Bool GetPixelCnt(Int32 x, Int32 y, Int32 cnt, UChar* buffer, Int32 inc, COLORMODE dstmode,
                   PIXELCNT flags) const;
  Bool SetPixelCnt(Int32 x, Int32 y, Int32 cnt, const UChar* buffer, Int32 inc, COLORMODE srcmode,
                   PIXELCNT flags);

  Bool HasAlpha() const;
  void AddAlpha();
  Float GetAlpha(Int32 x, Int32 y) const;
  void SetAlpha(Int32 x, Int32 y, Float alpha);

  BaseBitmap* GetClone() const;
  [[nodiscard]] Bool CopyTo(BaseBitmap* destination) const;

  // Drawing with a pen of 8-bit colour: lines are clipped to the image, both ends included.
  void SetPen(Int32 r, Int32 g, Int32 b);
  void Line(Int32 x1, Int32 y1, Int32 x2, Int32 y2);

  BitmapRecord& GetRecord() const { return *record_; }

 private:
  BaseBitmap();
  [[nodiscard]] IMAGERESULT Allocate(Int32 width, Int32 height, Int32 depth);
  [[nodiscard]] IMAGERESULT Load(const Filename& name);
  std::unique_ptr<BitmapRecord> record_;
};

// Loads an image from the module's res folder for the life of the scope; empty when missing.
class AutoBitmap {
 public:
  explicit AutoBitmap(const String& fileName, Float pixelRatio = 1.0);
  ~AutoBitmap();
  AutoBitmap(const AutoBitmap&) = delete;
  AutoBitmap& operator=(const AutoBitmap&) = delete;

  BaseBitmap* Get() const { return bitmap_; }
  operator BaseBitmap*() const { return bitmap_; }

 private:
  BaseBitmap* bitmap_ = nullptr;
};

// Module-side: reads from the module's own res folder, which only the module knows.
inline AutoBitmap::AutoBitmap(const String& fileName, Float /*pixelRatio*/) {
  BaseBitmap* bitmap = BaseBitmap::Alloc();
  const Filename path = GeGetPluginPath() + Filename("res") + Filename(fileName);
  if (bitmap && bitmap->Init(path) == IMAGERESULT_OK)
    bitmap_ = bitmap;
  else
    BaseBitmap::Free(bitmap);
}

inline AutoBitmap::~AutoBitmap() { BaseBitmap::Free(bitmap_); }
