#include "camera_bitmaps.h"

#include "base/parallel_for.h"
#include "runtime/bitmap_record.h"
#include "runtime/bitmap_window.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr Int32 kRgbBytes = 3 * static_cast<Int32>(sizeof(Float32));
constexpr Int32 kRgbaDepth = 32;  // colour as the merge reads it, alpha beside it

UChar* AsBytes(Float32* row) { return reinterpret_cast<UChar*>(row); }

// Calls use(y, buffer) for every row on all cores; each block of rows has a buffer of its own for
// one row of three floats per pixel.
template <typename UseRow>
void ForEachRow(Int32 width, Int32 top, Int32 bottom, UseRow use) {
  parallel::For(top, bottom, [&](const tbb::blocked_range<Int32>& rows) {
    std::vector<Float32> buffer(static_cast<size_t>(width) * 3);
    for (Int32 y = rows.begin(); y != rows.end(); ++y) use(y, buffer.data());
  });
}

// All four channels 0 (either sign), tested on their bits at once: a camera's rows are mostly
// such pixels outside its part of the frame.
bool IsTransparentBlack(const Float32* pixel) {
  UInt32 bits[4];
  std::memcpy(bits, pixel, sizeof(bits));
  return ((bits[0] | bits[1] | bits[2] | bits[3]) & 0x7fffffffu) == 0;
}

// Whether pixels [first, end) of a row are all transparent black, their bits or-ed together in one
// pass the compiler vectorises: most of a camera's rows lie outside its part of the frame.
bool AllTransparentBlack(const Float32* row, Int32 first, Int32 end) {
  UInt32 any = 0;
  const Float32* value = row + static_cast<size_t>(first) * FloatImage::kChannels;
  const Float32* last = row + static_cast<size_t>(end) * FloatImage::kChannels;
  for (; value != last; ++value) any |= std::bit_cast<UInt32>(*value);
  return (any & 0x7fffffffu) == 0;
}

// The first pixel of row y in columns [from, end) that is not transparent black (`end` when none
// is), skipping blocks of transparent pixels at once.
Int32 FirstVisible(const FloatImage& image, Int32 y, Int32 from, Int32 end) {
  constexpr Int32 kBlock = 16;
  const Float32* row = image.Row(y);
  Int32 x = from;
  while (x + kBlock <= end && AllTransparentBlack(row, x, x + kBlock)) x += kBlock;
  while (x < end && IsTransparentBlack(image.Pixel(x, y))) ++x;
  return x;
}

// The last pixel of row y in columns [from, end) that is not transparent black, for a row that has
// one there.
Int32 LastVisible(const FloatImage& image, Int32 y, Int32 from, Int32 end) {
  constexpr Int32 kBlock = 16;
  const Float32* row = image.Row(y);
  while (end - kBlock >= from && AllTransparentBlack(row, end - kBlock, end)) end -= kBlock;
  Int32 x = end - 1;
  while (IsTransparentBlack(image.Pixel(x, y))) --x;
  return x;
}

// The smallest rectangle holding every pixel of `image` that is not transparent black, all of which
// lie within `drawn`: the part of the frame its camera rendered.
PixelWindow RenderedWindow(const FloatImage& image, const PixelWindow& drawn) {
  const Int32 from = drawn.left;
  const Int32 end = drawn.left + drawn.width;
  std::vector<Int32> first(static_cast<size_t>(image.height), end);
  std::vector<Int32> last(static_cast<size_t>(image.height), -1);
  parallel::For(drawn.top, drawn.top + drawn.height, [&](const tbb::blocked_range<Int32>& rows) {
    for (Int32 y = rows.begin(); y != rows.end(); ++y) {
      const Int32 x0 = FirstVisible(image, y, from, end);
      if (x0 == end) continue;
      first[y] = x0;
      last[y] = LastVisible(image, y, from, end);
    }
  });
  Int32 left = image.width, right = -1, top = image.height, bottom = -1;
  for (Int32 y = drawn.top; y < drawn.top + drawn.height; ++y) {
    if (last[y] < 0) continue;
    left = std::min(left, first[y]);
    right = std::max(right, last[y]);
    top = std::min(top, y);
    bottom = y;
  }
  if (right < 0) return {};
  return {left, top, right - left + 1, bottom - top + 1};
}

void ReadRow(const BaseBitmap& bitmap, Int32 y, Int32 width, Float32* row) {
  bitmap.GetPixelCnt(0, y, width, AsBytes(row), kRgbBytes, COLORMODE_RGBf, PIXELCNT_0);
}

// Row y's alpha as GetAlpha reads it (transparent outside a window, opaque without an alpha
// channel) into every fourth float of `out`, without a call per pixel.
void CopyAlphaRow(const BaseBitmap& bitmap, Int32 y, Int32 width, Float32* out) {
  const BitmapRecord& record = bitmap.GetRecord();
  const BitmapRecord::StoredRun stored = record.StoredPart(0, y, width);
  const bool hasAlpha = bitmap.HasAlpha();
  for (Int32 x = 0; x < width; ++x, out += FloatImage::kChannels) {
    if (x < stored.begin || x >= stored.end) {
      *out = 0.0f;
    } else {
      *out = hasAlpha ? record.alpha[record.Index(x - record.left, y - record.top)] : 1.0f;
    }
  }
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

bool CameraBitmaps::Allocate(Int32 count, Int32 width, Int32 height, bool keepBetweenFrames) {
  Release();
  width_ = width;
  height_ = height;
  keepBetweenFrames_ = keepBetweenFrames;
  bool complete = true;
  try {
    // Bitmaps without pixels: camera images take their memory when stored, as large as what their
    // camera rendered, and the merged frame when the merge begins.
    for (Int32 k = 0; k < count && complete; ++k) {
      colour_.push_back(BaseBitmap::Alloc());
      sources_.push_back(colour_.back());
      complete = colour_.back() != nullptr;
    }
    destination_ = complete ? BaseBitmap::Alloc() : nullptr;
  } catch (const std::bad_alloc&) {
    complete = false;
  }
  complete = complete && destination_;
  if (!complete) Release();
  return complete;
}

bool CameraBitmaps::Store(Int32 camera, const FloatImage& image, const PixelWindow& drawn) {
  BaseBitmap& bitmap = *colour_[camera];
  const PixelWindow window = RenderedWindow(image, drawn);
  // Every pixel of the window is written below, straight into the bitmap's own rows.
  if (!InitWindowBitmapUncleared(bitmap, width_, height_, window)) return false;
  BitmapRecord& record = bitmap.GetRecord();
  parallel::For(Int32{0}, record.height, [&](const tbb::blocked_range<Int32>& rows) {
    for (Int32 y = rows.begin(); y != rows.end(); ++y) {
      const Float32* pixel = image.Pixel(window.left, window.top + y);
      Float32* rgb = record.rgb.data() + 3 * record.Index(0, y);
      Float32* alpha = record.alpha.data() + record.Index(0, y);
      for (Int32 x = 0; x < record.width; ++x, pixel += FloatImage::kChannels, rgb += 3) {
        std::copy(pixel, pixel + 3, rgb);
        alpha[x] = pixel[3];
      }
    }
  });
  return true;
}

PixelWindow CameraBitmaps::StoredWindow(Int32 camera) const {
  const BitmapRecord& record = colour_[camera]->GetRecord();
  return {record.left, record.top, record.width, record.height};
}

bool CameraBitmaps::PrepareDestination() {
  return destination_->Init(width_, height_, kRgbaDepth) == IMAGERESULT_OK;
}

void CameraBitmaps::ReleaseFrame() {
  if (keepBetweenFrames_) return;
  for (BaseBitmap* bitmap : colour_) bitmap->FlushAll();
  destination_->FlushAll();
}

void CameraBitmaps::ReleaseSources() {
  if (keepBetweenFrames_) return;
  for (BaseBitmap* bitmap : colour_) bitmap->FlushAll();
}

bool CameraBitmaps::Load(Int32 camera, FloatImage& image) const {
  return LoadBitmap(*colour_[camera], image);
}

bool CameraBitmaps::LoadMerged(FloatImage& frame) const { return LoadBitmap(*destination_, frame); }

bool CameraBitmaps::LoadBitmap(const BaseBitmap& bitmap, FloatImage& image) const {
  const bool sized = image.width == width_ && image.height == height_ && !image.rgba.empty();
  if (!sized && !image.AllocateUncleared(width_, height_)) return false;
  ForEachRow(width_, 0, height_, [&](Int32 y, Float32* row) {
    ReadRow(bitmap, y, width_, row);
    Float32* pixel = image.Row(y);
    for (Int32 x = 0; x < width_; ++x, pixel += FloatImage::kChannels, row += 3)
      std::copy(row, row + 3, pixel);
    CopyAlphaRow(bitmap, y, width_, image.Row(y) + 3);
  });
  return true;
}
