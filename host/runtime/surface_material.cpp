#include "surface_material.h"

#include <algorithm>

namespace {

// The next level: each texel the mean of the (up to) four below it.
Texture HalfSize(const Texture& image) {
  Texture half;
  half.width = std::max(1, image.width / 2);
  half.height = std::max(1, image.height / 2);
  half.texels.resize(static_cast<size_t>(half.width) * half.height);
  for (Int32 y = 0; y < half.height; ++y) {
    for (Int32 x = 0; x < half.width; ++x) {
      std::array<Float32, 4> sum{};
      int count = 0;
      for (Int32 dy = 0; dy < 2; ++dy)
        for (Int32 dx = 0; dx < 2; ++dx) {
          const Int32 sx = std::min(image.width - 1, 2 * x + dx);
          const Int32 sy = std::min(image.height - 1, 2 * y + dy);
          const auto& texel = image.texels[static_cast<size_t>(sy) * image.width + sx];
          for (int c = 0; c < 4; ++c) sum[c] += texel[c];
          ++count;
        }
      for (int c = 0; c < 4; ++c) sum[c] /= static_cast<Float32>(count);
      half.texels[static_cast<size_t>(y) * half.width + x] = sum;
    }
  }
  return half;
}

}  // namespace

std::shared_ptr<const MipTexture> MakeMipTexture(Texture image) {
  auto mips = std::make_shared<MipTexture>();
  mips->levels.push_back(std::move(image));
  while (mips->levels.back().width > 1 || mips->levels.back().height > 1)
    mips->levels.push_back(HalfSize(mips->levels.back()));
  return mips;
}
