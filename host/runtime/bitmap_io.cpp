#include "bitmap_io.h"

#include "image/image_file.h"

#include <vector>

namespace {
// Interleaved float pixels with the bitmap's channels: RGB, plus alpha when it has one.
std::vector<Float32> Interleaved(const BaseBitmap& bitmap, int channels) {
  const Int32 width = bitmap.GetBw();
  const Int32 height = bitmap.GetBh();
  std::vector<Float32> pixels(static_cast<size_t>(width) * height * channels);
  for (Int32 y = 0; y < height; ++y) {
    for (Int32 x = 0; x < width; ++x) {
      Float32* pixel = &pixels[(static_cast<size_t>(y) * width + x) * channels];
      const Vector colour = bitmap.GetPixelFloat(x, y);
      pixel[0] = static_cast<Float32>(colour.x);
      pixel[1] = static_cast<Float32>(colour.y);
      pixel[2] = static_cast<Float32>(colour.z);
      if (channels == 4) pixel[3] = static_cast<Float32>(bitmap.GetAlpha(x, y));
    }
  }
  return pixels;
}
}  // namespace

bool SaveBitmap(const BaseBitmap& bitmap, const std::string& path, std::string& error) {
  if (bitmap.IsEmpty()) {
    error = "cannot write " + path + ": the bitmap is empty";
    return false;
  }
  const int channels = bitmap.HasAlpha() ? 4 : 3;
  const std::vector<Float32> pixels = Interleaved(bitmap, channels);
  image_codec::EncodeRequest request;
  request.path = path;
  request.width = bitmap.GetBw();
  request.height = bitmap.GetBh();
  request.channels = channels;
  request.alphaChannel = channels == 4 ? 3 : -1;
  request.floatPixels = pixels.data();
  return WriteImageFile(request, error);
}
