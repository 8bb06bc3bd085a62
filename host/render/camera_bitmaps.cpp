#include "camera_bitmaps.h"

#include "runtime/parallel_for.h"

#include <algorithm>
#include <new>

namespace {

constexpr Int32 kRgbBytes = 3 * static_cast<Int32>(sizeof(Float32));
constexpr Int32 kRgbaDepth = 32;  // colour as the merge reads it, alpha beside it

UChar* AsBytes(Float32* row) { return reinterpret_cast<UChar*>(row); }
const UChar* AsBytes(const Float32* row) { return reinterpret_cast<const UChar*>(row); }

BaseBitmap* MakeBitmap(Int32 width, Int32 height) {
  BaseBitmap* bitmap = BaseBitmap::Alloc();
  if (bitmap && bitmap->Init(width, height, kRgbaDepth) != IMAGERESULT_OK) BaseBitmap::Free(bitmap);
  return bitmap;
}

// Calls use(y, buffer) for every row on all cores; each block of rows has a buffer of its own for
// one row of three floats per pixel.
template <typename UseRow>
void ForEachRow(Int32 width, Int32 height, UseRow use) {
  parallel::For(Int32{0}, height, [&](const tbb::blocked_range<Int32>& rows) {
    std::vector<Float32> buffer(static_cast<size_t>(width) * 3);
    for (Int32 y = rows.begin(); y != rows.end(); ++y) use(y, buffer.data());
  });
}

void ReadRow(const BaseBitmap& bitmap, Int32 y, Int32 width, Float32* row) {
  bitmap.GetPixelCnt(0, y, width, AsBytes(row), kRgbBytes, COLORMODE_RGBf, PIXELCNT_0);
}

void WriteRow(BaseBitmap& bitmap, Int32 y, Int32 width, const Float32* row) {
  bitmap.SetPixelCnt(0, y, width, AsBytes(row), kRgbBytes, COLORMODE_RGBf, PIXELCNT_0);
}

}  // namespace

CameraBitmaps::~CameraBitmaps() { Release(); }

void CameraBitmaps::Release() {
  for (BaseBitmap*& bitmap : colour_) BaseBitmap::Free(bitmap);
  BaseBitmap::Free(destination_);
  colour_.clear();
  sources_.clear();
}

double CameraBitmaps::BytesNeeded(Int32 count, Int32 width, Int32 height) {
  const double pixels = static_cast<double>(width) * height;
  const double bitmapBytes = pixels * (kRgbBytes + sizeof(Float32));
  return (count + 1) * bitmapBytes;
}

bool CameraBitmaps::Allocate(Int32 count, Int32 width, Int32 height) {
  Release();
  width_ = width;
  height_ = height;
  bool complete = true;
  try {
    for (Int32 k = 0; k < count && complete; ++k) {
      colour_.push_back(MakeBitmap(width, height));
      sources_.push_back(colour_.back());
      complete = colour_.back() != nullptr;
    }
    destination_ = complete ? MakeBitmap(width, height) : nullptr;
  } catch (const std::bad_alloc&) {
    complete = false;
  }
  complete = complete && destination_;
  if (!complete) Release();
  return complete;
}

void CameraBitmaps::Store(Int32 camera, const FloatImage& image) {
  BaseBitmap& bitmap = *colour_[camera];
  ForEachRow(width_, height_, [&](Int32 y, Float32* row) {
    const Float32* pixel = image.Row(y);
    for (Int32 x = 0; x < width_; ++x, pixel += FloatImage::kChannels) {
      std::copy(pixel, pixel + 3, row + 3 * static_cast<size_t>(x));
      bitmap.SetAlpha(x, y, pixel[3]);
    }
    WriteRow(bitmap, y, width_, row);
  });
}

void CameraBitmaps::Load(Int32 camera, FloatImage& image) const { LoadBitmap(*colour_[camera], image); }

void CameraBitmaps::LoadMerged(FloatImage& frame) const { LoadBitmap(*destination_, frame); }

void CameraBitmaps::LoadBitmap(const BaseBitmap& bitmap, FloatImage& image) const {
  ForEachRow(width_, height_, [&](Int32 y, Float32* row) {
    ReadRow(bitmap, y, width_, row);
    Float32* pixel = image.Row(y);
    for (Int32 x = 0; x < width_; ++x, pixel += FloatImage::kChannels, row += 3) {
      std::copy(row, row + 3, pixel);
      pixel[3] = static_cast<Float32>(bitmap.GetAlpha(x, y));
    }
  });
}
