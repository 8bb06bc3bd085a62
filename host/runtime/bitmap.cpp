#include "bitmap_record.h"
#include "c4d_bitmap.h"

#include "bitmap_watcher.h"
#include "c4d_math.h"
#include "canvas/line_walk.h"
#include "console.h"
#include "files/regular_file.h"
#include "image/image_codec.h"
#include "image/image_limits.h"
#include "image/plain_tiff.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <vector>

BaseBitmap::BaseBitmap() : record_(std::make_unique<BitmapRecord>()) {}
BaseBitmap::~BaseBitmap() = default;

BaseBitmap* BaseBitmap::Alloc() { return new (std::nothrow) BaseBitmap(); }

void BaseBitmap::Free(BaseBitmap*& bitmap) {
  delete bitmap;
  bitmap = nullptr;
}

namespace {
// Colour reads and writes are told to the calling thread's watcher, if any (the merge's alpha trace).
void NoteRead(const BaseBitmap& source, Int32 x, Int32 y, Int32 count) {
  if (BitmapWatcher* watcher = BitmapWatcher::Current()) watcher->Read(source, x, y, count);
}
void NoteWrite(const BaseBitmap& target, Int32 x, Int32 y, Int32 count) {
  if (BitmapWatcher* watcher = BitmapWatcher::Current()) watcher->Write(target, x, y, count);
}

// Bitmaps are handed to the module: running out of memory becomes a result, never an exception.
template <typename Work>
IMAGERESULT WithoutThrowing(BitmapRecord& record, Work work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    record = BitmapRecord();
    return IMAGERESULT_OUTOFMEMORY;
  }
}
}  // namespace

IMAGERESULT BaseBitmap::Init(Int32 width, Int32 height, Int32 depth) {
  return WithoutThrowing(*record_, [&] { return Allocate(width, height, depth); });
}

IMAGERESULT BaseBitmap::Init(const Filename& name) {
  return WithoutThrowing(*record_, [&] { return Load(name); });
}

IMAGERESULT BaseBitmap::Allocate(Int32 width, Int32 height, Int32 depth) {
  // Memory of exactly the size needed is cleared in place instead of mapped afresh (a merged frame
  // made again each frame of a sequence).
  const bool valid = width > 0 && height > 0 && static_cast<Int64>(width) * height <= (Int64(1) << 31);
  const size_t pixels = valid ? static_cast<size_t>(width) * height : 0;
  BitmapRecord kept;
  if (valid && record_->rgb.capacity() == pixels * 3) kept.rgb.swap(record_->rgb);
  if (valid && depth == 32 && record_->alpha.capacity() == pixels) kept.alpha.swap(record_->alpha);
  FlushAll();
  if (!valid) return IMAGERESULT_WRONGTYPE;
  record_->width = width;
  record_->height = height;
  record_->rgb.swap(kept.rgb);
  record_->rgb.assign(pixels * 3, 0.0f);
  if (depth == 32) {
    record_->alpha.swap(kept.alpha);
    record_->alpha.assign(pixels, 0.0f);
  }
  return IMAGERESULT_OK;
}

namespace {
// Spreads an image of any channel count into RGB (grey repeated) and alpha.
void SplitChannels(const std::vector<Float32>& pixels, int channels, BitmapRecord& record) {
  const size_t count = static_cast<size_t>(record.width) * record.height;
  record.rgb.resize(count * 3);
  const bool hasAlpha = channels == 2 || channels >= 4;
  record.alpha.assign(hasAlpha ? count : 0, 1.0f);
  for (size_t i = 0; i < count; ++i) {
    const Float32* source = &pixels[i * channels];
    const bool grey = channels < 3;
    for (int c = 0; c < 3; ++c) record.rgb[i * 3 + c] = grey ? source[0] : source[c];
    if (hasAlpha) record.alpha[i] = source[channels == 2 ? 1 : 3];
  }
}
}  // namespace

namespace {
// Every channel of the file as floats: plain TIFF icons directly and PNG maps through the host's own
// PNG reader (behind the image seam), so that registering plugins needs no image library; anything
// else through the image library.
IMAGERESULT ReadPixels(const std::string& path, image_codec::Header& header, std::vector<Float32>& pixels) {
  std::string error;
  if (!regular_file::Check(path, error)) {
    // A missing image is no error of its own; a device or FIFO is, and is never opened.
    if (regular_file::KindOf(path) == regular_file::Kind::Missing) return IMAGERESULT_NOTEXISTING;
    console::Print("[host] cannot read the image \"" + path + "\": " + error);
    return IMAGERESULT_WRONGTYPE;
  }
  const PlainRead plain = plain_tiff::Read(path, header, pixels, error);
  if (plain == PlainRead::Damaged) console::Print("[host] " + error);
  if (plain != PlainRead::NotPlain) return plain == PlainRead::Read ? IMAGERESULT_OK : IMAGERESULT_WRONGTYPE;
  image_codec::Reader reader;
  if (!reader.Open(path, error)) {
    if (!image_codec::Load(error)) console::Print("[host] " + error);
    // Only an absent file is missing; one that is there but does not open is no image it can read.
    std::error_code ignored;
    return std::filesystem::exists(path, ignored) ? IMAGERESULT_WRONGTYPE : IMAGERESULT_NOTEXISTING;
  }
  header = reader.header();
  if (header.channels < 1 || header.width <= 0 || header.height <= 0) return IMAGERESULT_WRONGTYPE;
  if (!image_limits::CheckBeforeDecode(path, header, error)) {
    console::Print("[host] " + error);
    return IMAGERESULT_OUTOFMEMORY;
  }
  pixels.resize(static_cast<size_t>(header.width) * header.height * header.channels);
  return reader.ReadFloats(pixels.data(), error) ? IMAGERESULT_OK : IMAGERESULT_WRONGTYPE;
}
}  // namespace

IMAGERESULT BaseBitmap::Load(const Filename& name) {
  FlushAll();
  image_codec::Header header;
  std::vector<Float32> pixels;
  const IMAGERESULT read = ReadPixels(name.GetString().GetStdString(), header, pixels);
  if (read != IMAGERESULT_OK) return read;
  record_->width = header.width;
  record_->height = header.height;
  record_->linear = header.sample == image_codec::SampleType::Float;
  SplitChannels(pixels, header.channels, *record_);
  return IMAGERESULT_OK;
}

void BaseBitmap::FlushAll() { *record_ = BitmapRecord(); }

Int32 BaseBitmap::GetBw() const { return record_->ShownWidth(); }
Int32 BaseBitmap::GetBh() const { return record_->ShownHeight(); }

namespace {
UInt32 ToByte(Float32 value) {
  return static_cast<UInt32>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}
}  // namespace

void BaseBitmap::GetPixel(Int32 x, Int32 y, UInt32* r, UInt32* g, UInt32* b) const {
  const Vector colour = GetPixelFloat(x, y);
  *r = ToByte(static_cast<Float32>(colour.x));
  *g = ToByte(static_cast<Float32>(colour.y));
  *b = ToByte(static_cast<Float32>(colour.z));
}

Bool BaseBitmap::SetPixel(Int32 x, Int32 y, Int32 r, Int32 g, Int32 b) {
  // A window stores its pixels without its offset: (x, y) are the shown coordinates.
  if (!record_->IsShown(x, y) || !record_->Inside(x - record_->left, y - record_->top)) return false;
  SetPixelFloat(x, y, Vector(r, g, b) / 255.0);
  return true;
}

Vector BaseBitmap::GetPixelFloat(Int32 x, Int32 y) const {
  if (!record_->IsShown(x, y)) return Vector();
  NoteRead(*this, x, y, 1);
  const Int32 storedX = x - record_->left;
  const Int32 storedY = y - record_->top;
  if (!record_->Inside(storedX, storedY)) return Vector();  // outside a window: transparent black
  const Float32* pixel = &record_->rgb[record_->Index(storedX, storedY) * 3];
  return {pixel[0], pixel[1], pixel[2]};
}

void BaseBitmap::SetPixelFloat(Int32 x, Int32 y, const Vector& rgb) {
  if (!record_->IsShown(x, y)) return;
  NoteWrite(*this, x, y, 1);
  const Int32 storedX = x - record_->left;
  const Int32 storedY = y - record_->top;
  if (!record_->Inside(storedX, storedY)) return;  // a window keeps only what its camera rendered
  Float32* pixel = &record_->rgb[record_->Index(storedX, storedY) * 3];
  pixel[0] = static_cast<Float32>(rgb.x);
  pixel[1] = static_cast<Float32>(rgb.y);
  pixel[2] = static_cast<Float32>(rgb.z);
}

Bool BaseBitmap::HasAlpha() const { return !record_->alpha.empty(); }

void BaseBitmap::AddAlpha() {
  if (HasAlpha()) return;
  WithoutThrowing(*record_, [&] {
    record_->alpha.assign(static_cast<size_t>(record_->width) * record_->height, 1.0f);
    return IMAGERESULT_OK;
  });
}

Float BaseBitmap::GetAlpha(Int32 x, Int32 y) const {
  const Int32 storedX = x - record_->left;
  const Int32 storedY = y - record_->top;
  if (!record_->Inside(storedX, storedY)) return 0.0;
  return HasAlpha() ? record_->alpha[record_->Index(storedX, storedY)] : 1.0;
}

void BaseBitmap::SetAlpha(Int32 x, Int32 y, Float alpha) {
  const Int32 storedX = x - record_->left;
  const Int32 storedY = y - record_->top;
  if (record_->Inside(storedX, storedY) && HasAlpha())
    record_->alpha[record_->Index(storedX, storedY)] = static_cast<Float32>(alpha);
}

BaseBitmap* BaseBitmap::GetClone() const {
  BaseBitmap* clone = Alloc();
  if (clone && !CopyTo(clone)) Free(clone);
  return clone;
}

Bool BaseBitmap::CopyTo(BaseBitmap* destination) const {
  if (!destination) return false;
  return WithoutThrowing(*destination->record_, [&] {
           *destination->record_ = *record_;
           return IMAGERESULT_OK;
         }) == IMAGERESULT_OK;
}

namespace {
constexpr Int32 kRgbFloatBytes = 3 * static_cast<Int32>(sizeof(Float32));

// A run of packed float pixels inside one row: the only layout the storage serves.
bool IsRgbFloatRun(const BitmapRecord& record, Int32 x, Int32 y, Int32 cnt, Int32 inc, COLORMODE mode) {
  return mode == COLORMODE_RGBf && inc == kRgbFloatBytes && cnt >= 0 && y >= 0 && y < record.ShownHeight() &&
         x >= 0 && x <= record.ShownWidth() - cnt;
}

// The stored colour of shown pixel (x, y), which must lie inside the window.
Float32* StoredPixel(BitmapRecord& record, Int32 x, Int32 y) {
  return record.rgb.data() + record.Index(x - record.left, y - record.top) * 3;
}
}  // namespace

Bool BaseBitmap::GetPixelCnt(Int32 x, Int32 y, Int32 cnt, UChar* buffer, Int32 inc, COLORMODE dstmode,
                             PIXELCNT) const {
  if (!buffer || !IsRgbFloatRun(*record_, x, y, cnt, inc, dstmode)) return false;
  NoteRead(*this, x, y, cnt);
  auto* pixels = reinterpret_cast<Float32*>(buffer);
  const BitmapRecord::StoredRun stored = record_->StoredPart(x, y, cnt);
  if (stored.begin == stored.end) {
    std::fill(pixels, pixels + 3 * static_cast<size_t>(cnt), 0.0f);
    return true;
  }
  // Outside a window's columns the run reads as transparent black.
  std::fill(pixels, pixels + 3 * static_cast<size_t>(stored.begin - x), 0.0f);
  std::memcpy(pixels + 3 * static_cast<size_t>(stored.begin - x), StoredPixel(*record_, stored.begin, y),
              static_cast<size_t>(stored.end - stored.begin) * kRgbFloatBytes);
  std::fill(pixels + 3 * static_cast<size_t>(stored.end - x), pixels + 3 * static_cast<size_t>(cnt), 0.0f);
  return true;
}

Bool BaseBitmap::SetPixelCnt(Int32 x, Int32 y, Int32 cnt, const UChar* buffer, Int32 inc, COLORMODE srcmode,
                             PIXELCNT) {
  if (!buffer || !IsRgbFloatRun(*record_, x, y, cnt, inc, srcmode)) return false;
  // A window keeps only what its camera rendered: a run beyond it is refused, not cut.
  const BitmapRecord::StoredRun stored = record_->StoredPart(x, y, cnt);
  if (cnt > 0 && (stored.begin != x || stored.end != x + cnt)) return false;
  NoteWrite(*this, x, y, cnt);
  if (cnt > 0) std::memcpy(StoredPixel(*record_, x, y), buffer, static_cast<size_t>(cnt) * kRgbFloatBytes);
  return true;
}

void BaseBitmap::SetPen(Int32 r, Int32 g, Int32 b) {
  const auto channel = [](Int32 value) { return std::clamp(value, 0, 255) / 255.0; };
  record_->pen = Vector(channel(r), channel(g), channel(b));
}

// Bresenham's line over whole pixels; pixels outside the image are skipped, not wrapped.
void BaseBitmap::Line(Int32 x1, Int32 y1, Int32 x2, Int32 y2) {
  const Vector pen = record_->pen;
  const paint::PixelRect image{0, 0, GetBw() - 1, GetBh() - 1};
  paint::WalkLine(x1, y1, x2, y2, image,
                  [this, &pen](Int32 x, Int32 y, Float32) { SetPixelFloat(x, y, pen); });
}
