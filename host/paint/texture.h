#pragma once

#include "paint/painter.h"

namespace paint {

// Straight (not premultiplied) texels someone else owns: interleaved RGB and, optionally, a
// separate alpha plane (opaque without one), in the given encoding.
struct TextureView {
  Int32 width = 0;
  Int32 height = 0;
  const Float32* rgb = nullptr;
  const Float32* alpha = nullptr;
  Encoding encoding = Encoding::Display;
  // A window: the texels stored are the rectangle at (left, top) of a texture of frameWidth x
  // frameHeight whose other texels are transparent black. 0: the stored texels are the texture.
  Int32 left = 0;
  Int32 top = 0;
  Int32 frameWidth = 0;
  Int32 frameHeight = 0;

  Int32 ShownWidth() const { return frameWidth > 0 ? frameWidth : width; }
  Int32 ShownHeight() const { return frameHeight > 0 ? frameHeight : height; }
  bool IsEmpty() const { return ShownWidth() <= 0 || ShownHeight() <= 0 || (!rgb && width > 0); }
};

enum class Filter {
  Nearest,   // the texel whose centre is nearest
  Bilinear,  // the four nearest texels, weighted
  Area,      // bilinear when enlarging; the mean of the covered texels when shrinking
};

// How a texture is laid onto a surface.
struct TextureDraw {
  // Destination in continuous surface coordinates. Pixels whose centre lies inside [x0, x1] x
  // [y0, y1] (edges included) are drawn; the first texel's centre lands on (x0, y0), the last's
  // on (x1, y1).
  Float x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
  Filter filter = Filter::Nearest;
  bool useAlpha = true;                 // the texture's alpha is coverage; else every texel is opaque
  bool blend = true;                    // composite over the surface; else replace its pixels
  Colour tint{1.0f, 1.0f, 1.0f, 1.0f};  // multiplies every texel
  // Blending leaves a pixel untouched when the texture's coverage there is at most this.
  Float32 minCoverage = 0.0f;
};

// Lays the texture onto the painter's surface inside its clip rectangle, converting texels into
// the surface's encoding. Fully transparent texels (and, blending, those covering no more than
// `minCoverage`) leave their pixels untouched, bit for bit.
void DrawTexture(const Painter& painter, const TextureView& texture, const TextureDraw& draw);

}  // namespace paint
