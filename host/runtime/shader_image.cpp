#include "shader_image.h"

#include "shader_params.h"

#include <algorithm>
#include <cmath>

namespace {

struct BitmapDeleter {
  void operator()(BaseBitmap* bitmap) const { BaseBitmap::Free(bitmap); }
};
using BitmapPtr = std::unique_ptr<BaseBitmap, BitmapDeleter>;

// Two neighbouring pixel indices along one axis and the weight of the second.
struct Taps {
  Int32 first = 0;
  Int32 second = 0;
  Float weight = 0.0;
};

// Pixel centres sit at (i + 0.5) / size; t is already inside [0, 1].
Taps TapsAt(Float t, Int32 size) {
  const Float position = t * size - 0.5;
  const Float below = std::floor(position);
  const Int32 first = static_cast<Int32>(below);
  return {first, first + 1, position - below};
}

Taps Repeated(Taps taps, Int32 size) {
  taps.first = (taps.first + size) % size;
  taps.second = taps.second % size;
  return taps;
}

Taps Clamped(Taps taps, Int32 size) {
  taps.first = std::clamp(taps.first, 0, size - 1);
  taps.second = std::clamp(taps.second, 0, size - 1);
  return taps;
}

class ImageProgram final : public ShaderProgram {
 public:
  explicit ImageProgram(BitmapPtr image) : image_(std::move(image)) {}

  Vector Sample(const ChannelData& cd) const override {
    if (!std::isfinite(cd.p.x) || !std::isfinite(cd.p.y)) return {};
    const Int32 width = image_->GetBw();
    const Int32 height = image_->GetBh();
    const Taps column = Repeated(TapsAt(cd.p.x - std::floor(cd.p.x), width), width);
    const Taps row = Clamped(TapsAt(std::clamp(cd.p.y, 0.0, 1.0), height), height);
    const Vector top = Lerp(image_->GetPixelFloat(column.first, row.first),
                            image_->GetPixelFloat(column.second, row.first), column.weight);
    const Vector bottom = Lerp(image_->GetPixelFloat(column.first, row.second),
                               image_->GetPixelFloat(column.second, row.second), column.weight);
    return Lerp(top, bottom, row.weight);
  }

 private:
  static Vector Lerp(const Vector& a, const Vector& b, Float weight) { return a + (b - a) * weight; }

  BitmapPtr image_;  // never empty
};

}  // namespace

std::unique_ptr<ShaderProgram> BuildImageProgram(const BaseContainer& data, INITRENDERRESULT& result) {
  const Filename file = data.GetFilename(IMAGESHADER_FILE);
  BitmapPtr image(BaseBitmap::Alloc());
  if (!image) {
    result = INITRENDERRESULT_OUTOFMEMORY;
    return nullptr;
  }
  if (!file.Content() || image->Init(file) != IMAGERESULT_OK || image->IsEmpty()) {
    result = INITRENDERRESULT_ASSETMISSING;
    return nullptr;
  }
  result = INITRENDERRESULT_OK;
  return std::make_unique<ImageProgram>(std::move(image));
}
