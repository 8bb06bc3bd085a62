#include "texture_sampling.h"

#include <algorithm>
#include <cmath>

namespace {

using Wrap = TextureSlot::Wrap;
using Filter = TextureSlot::Filter;

// A texel index of a row or column of `size` texels, wrapped as the mode says.
Int32 WrapIndex(Int32 index, Int32 size, Wrap wrap) {
  switch (wrap) {
    case Wrap::ClampToEdge:
      return std::clamp(index, 0, size - 1);
    case Wrap::MirroredRepeat: {
      const Int32 period = 2 * size;
      const Int32 inPeriod = ((index % period) + period) % period;
      return inPeriod < size ? inPeriod : period - 1 - inPeriod;
    }
    case Wrap::Repeat:
    default:
      return ((index % size) + size) % size;
  }
}

Rgba Texel(const Texture& level, const TextureSlot& slot, Int32 x, Int32 y) {
  const auto& t = level.texels[static_cast<size_t>(WrapIndex(y, level.height, slot.wrapT)) * level.width +
                               WrapIndex(x, level.width, slot.wrapS)];
  return {t[0], t[1], t[2], t[3]};
}

// Texel indices beyond any image, kept far from integer overflow.
Float Bounded(Float coordinate) { return std::clamp(coordinate, -1e6, 1e6); }

Rgba ReadLevel(const Texture& level, const TextureSlot& slot, Float u, Float v, Filter filter) {
  const Float x = Bounded(u) * level.width;
  const Float y = Bounded(v) * level.height;
  if (filter == Filter::Nearest)
    return Texel(level, slot, static_cast<Int32>(std::floor(x)), static_cast<Int32>(std::floor(y)));
  const Float fx = x - 0.5 - std::floor(x - 0.5);
  const Float fy = y - 0.5 - std::floor(y - 0.5);
  const Int32 x0 = static_cast<Int32>(std::floor(x - 0.5));
  const Int32 y0 = static_cast<Int32>(std::floor(y - 0.5));
  const Rgba a = Texel(level, slot, x0, y0), b = Texel(level, slot, x0 + 1, y0);
  const Rgba c = Texel(level, slot, x0, y0 + 1), d = Texel(level, slot, x0 + 1, y0 + 1);
  Rgba mixed;
  for (int i = 0; i < 4; ++i)
    mixed[i] = (a[i] * (1.0 - fx) + b[i] * fx) * (1.0 - fy) + (c[i] * (1.0 - fx) + d[i] * fx) * fy;
  return mixed;
}

}  // namespace

std::array<Float, 2> SlotCoordinates(const TextureSlot& slot, const std::array<Float, 2>& set0,
                                     const std::array<Float, 2>& set1) {
  const std::array<Float, 2>& uv = slot.texCoord == 1 ? set1 : set0;
  if (!slot.transformed) return uv;
  const Float su = uv[0] * slot.scale[0];
  const Float sv = uv[1] * slot.scale[1];
  const Float c = std::cos(slot.rotation);
  const Float s = std::sin(slot.rotation);
  return {c * su + s * sv + slot.offset[0], -s * su + c * sv + slot.offset[1]};
}

Rgba SampleTexture(const TextureSlot& slot, Float u, Float v, Float footprint) {
  const std::vector<Texture>& levels = slot.texture->levels;
  const Texture& full = levels.front();
  const Float texels = footprint * std::max(full.width, full.height);
  if (!(texels > 1.0)) return ReadLevel(full, slot, u, v, slot.magnify);
  if (!slot.mipmaps || levels.size() == 1) return ReadLevel(full, slot, u, v, slot.minify);
  const Float level = std::min(std::log2(texels), static_cast<Float>(levels.size() - 1));
  const size_t lower = static_cast<size_t>(std::floor(level));
  const size_t upper = std::min(lower + 1, levels.size() - 1);
  const Float blend = level - static_cast<Float>(lower);
  const Rgba a = ReadLevel(levels[lower], slot, u, v, slot.minify);
  if (upper == lower || blend <= 0.0) return a;
  const Rgba b = ReadLevel(levels[upper], slot, u, v, slot.minify);
  Rgba mixed;
  for (int i = 0; i < 4; ++i) mixed[i] = a[i] * (1.0 - blend) + b[i] * blend;
  return mixed;
}
