#include "paint/texture.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace paint {
namespace {

using Premultiplied = std::array<Float32, 4>;

// One texel in the surface's encoding, premultiplied.
Premultiplied Texel(const TextureView& texture, Int32 x, Int32 y, bool useAlpha, Encoding target) {
  x -= texture.left;
  y -= texture.top;
  if (x < 0 || y < 0 || x >= texture.width || y >= texture.height) return {0.0f, 0.0f, 0.0f, 0.0f};
  const size_t index = static_cast<size_t>(y) * static_cast<size_t>(texture.width) + static_cast<size_t>(x);
  const Float32 alpha = useAlpha && texture.alpha ? texture.alpha[index] : 1.0f;
  if (alpha <= 0.0f) return {0.0f, 0.0f, 0.0f, 0.0f};
  const Float32* rgb = texture.rgb + index * 3;
  return {Convert(rgb[0], texture.encoding, target) * alpha,
          Convert(rgb[1], texture.encoding, target) * alpha,
          Convert(rgb[2], texture.encoding, target) * alpha, alpha};
}

void Accumulate(Premultiplied& sum, const Premultiplied& texel, Float32 weight) {
  for (size_t c = 0; c < 4; ++c) sum[c] += texel[c] * weight;
}

Int32 ClampIndex(Float position, Int32 size) {
  return static_cast<Int32>(std::clamp(position, 0.0, static_cast<Float>(size - 1)));
}

// The texture at texel-centre position (s, t) (texel i has its centre at i), with a footprint of
// (fs, ft) texels per destination pixel.
Premultiplied Sample(const TextureView& texture, const TextureDraw& draw, Encoding target, Float s, Float t,
                     Float fs, Float ft) {
  const bool shrinking = draw.filter == Filter::Area && (fs > 1.0 || ft > 1.0);
  if (draw.filter == Filter::Nearest) {
    return Texel(texture, ClampIndex(std::round(s), texture.ShownWidth()),
                 ClampIndex(std::round(t), texture.ShownHeight()), draw.useAlpha, target);
  }
  Premultiplied sum{0.0f, 0.0f, 0.0f, 0.0f};
  if (shrinking) {
    const Int32 sx0 = ClampIndex(std::ceil(s - std::max(fs, 1.0) * 0.5), texture.ShownWidth());
    const Int32 sx1 = ClampIndex(std::floor(s + std::max(fs, 1.0) * 0.5), texture.ShownWidth());
    const Int32 sy0 = ClampIndex(std::ceil(t - std::max(ft, 1.0) * 0.5), texture.ShownHeight());
    const Int32 sy1 = ClampIndex(std::floor(t + std::max(ft, 1.0) * 0.5), texture.ShownHeight());
    const Float32 weight = 1.0f / static_cast<Float32>((sx1 - sx0 + 1) * (sy1 - sy0 + 1));
    for (Int32 y = sy0; y <= sy1; ++y)
      for (Int32 x = sx0; x <= sx1; ++x) Accumulate(sum, Texel(texture, x, y, draw.useAlpha, target), weight);
    return sum;
  }
  const Float cs = std::clamp(s, 0.0, static_cast<Float>(texture.ShownWidth() - 1));
  const Float ct = std::clamp(t, 0.0, static_cast<Float>(texture.ShownHeight() - 1));
  const Int32 xa = static_cast<Int32>(cs), ya = static_cast<Int32>(ct);
  const Int32 xb = std::min(xa + 1, texture.ShownWidth() - 1),
              yb = std::min(ya + 1, texture.ShownHeight() - 1);
  const Float32 fx = static_cast<Float32>(cs - xa), fy = static_cast<Float32>(ct - ya);
  Accumulate(sum, Texel(texture, xa, ya, draw.useAlpha, target), (1 - fx) * (1 - fy));
  if (fx > 0.0f) Accumulate(sum, Texel(texture, xb, ya, draw.useAlpha, target), fx * (1 - fy));
  if (fy > 0.0f) Accumulate(sum, Texel(texture, xa, yb, draw.useAlpha, target), (1 - fx) * fy);
  if (fx > 0.0f && fy > 0.0f) Accumulate(sum, Texel(texture, xb, yb, draw.useAlpha, target), fx * fy);
  return sum;
}

// Texel-centre position of a pixel centre c on an axis from d0 to d1 over `size` texels.
Float TexelPosition(Float c, Float d0, Float d1, Int32 size) {
  if (d1 == d0) return (size - 1) * 0.5;
  return (c - d0) / (d1 - d0) * (size - 1);
}

void Composite(Float32* pixel, const Premultiplied& source, const Colour& tint, bool blend) {
  const Float32 alpha = source[3] * tint.a;
  const Float32 keep = blend ? 1.0f - alpha : 0.0f;
  pixel[0] = source[0] * tint.r * tint.a + pixel[0] * keep;
  pixel[1] = source[1] * tint.g * tint.a + pixel[1] * keep;
  pixel[2] = source[2] * tint.b * tint.a + pixel[2] * keep;
  pixel[3] = alpha + pixel[3] * keep;
}

// The destination pixels [low, high] on one axis (from d0 to d1 over `size` texels) whose sample can
// reach the stored texels [first, last], widened by the filter's reach and a pixel for rounding.
std::array<Int32, 2> PixelsReaching(Float d0, Float d1, Int32 size, Int32 first, Int32 last,
                                    Float footprint) {
  constexpr Int32 kAll = 1 << 30;
  if (d1 == d0 || size <= 1) return {-kAll, kAll};
  const Float reach = std::max(footprint, 1.0) + 1.0;
  const auto centre = [&](Float s) { return d0 + s / (size - 1) * (d1 - d0); };
  const Float a = centre(first - reach), b = centre(last + reach);
  const Float low = std::clamp(std::floor(std::min(a, b) - 0.5) - 1.0, -Float(kAll), Float(kAll));
  const Float high = std::clamp(std::ceil(std::max(a, b) - 0.5) + 1.0, -Float(kAll), Float(kAll));
  return {static_cast<Int32>(low), static_cast<Int32>(high)};
}

// Blending leaves pixels whose texels are all transparent untouched: a window texture is walked only
// where its stored texels can land.
PixelRect WindowReach(const TextureView& texture, const TextureDraw& draw, Float footprintS,
                      Float footprintT) {
  if (texture.width <= 0 || texture.height <= 0) return {};
  const auto xs = PixelsReaching(draw.x0, draw.x1, texture.ShownWidth(), texture.left,
                                 texture.left + texture.width - 1, footprintS);
  const auto ys = PixelsReaching(draw.y0, draw.y1, texture.ShownHeight(), texture.top,
                                 texture.top + texture.height - 1, footprintT);
  return {xs[0], ys[0], xs[1], ys[1]};
}

}  // namespace

void DrawTexture(const Painter& painter, const TextureView& texture, const TextureDraw& draw) {
  const Surface& surface = painter.GetSurface();
  if (texture.IsEmpty() || surface.IsEmpty()) return;
  const Float left = std::min(draw.x0, draw.x1), right = std::max(draw.x0, draw.x1);
  const Float top = std::min(draw.y0, draw.y1), bottom = std::max(draw.y0, draw.y1);
  if (!std::isfinite(left) || !std::isfinite(right) || !std::isfinite(top) || !std::isfinite(bottom)) return;
  // Pixels whose centre (i + 0.5) lies inside the destination.
  const auto firstPixel = [](Float low) { return std::clamp(std::ceil(low - 0.5), -1.0, 1e9); };
  const auto lastPixel = [](Float high) { return std::clamp(std::floor(high - 0.5), -1.0, 1e9); };
  const PixelRect covered{static_cast<Int32>(firstPixel(left)), static_cast<Int32>(firstPixel(top)),
                          static_cast<Int32>(lastPixel(right)), static_cast<Int32>(lastPixel(bottom))};
  const Float footprintS = right > left ? (texture.ShownWidth() - 1) / (right - left) : 1.0;
  const Float footprintT = bottom > top ? (texture.ShownHeight() - 1) / (bottom - top) : 1.0;
  PixelRect inside = covered.Intersect(painter.GetClip());
  if (draw.blend && texture.frameWidth > 0)
    inside = inside.Intersect(WindowReach(texture, draw, footprintS, footprintT));
  for (Int32 y = inside.y0; y <= inside.y1; ++y) {
    const Float t = TexelPosition(y + 0.5, draw.y0, draw.y1, texture.ShownHeight());
    for (Int32 x = inside.x0; x <= inside.x1; ++x) {
      const Float s = TexelPosition(x + 0.5, draw.x0, draw.x1, texture.ShownWidth());
      const Premultiplied source = Sample(texture, draw, surface.encoding, s, t, footprintS, footprintT);
      if (draw.blend && source[3] <= draw.minCoverage) continue;
      Composite(surface.Pixel(x, y), source, draw.tint, draw.blend);
    }
  }
}

}  // namespace paint
