#include "canvas/view_canvas.h"
#include "paint/texture.h"
#include "runtime/bitmap_record.h"
#include "runtime/node_record.h"

#include <algorithm>
#include <cmath>
#include <string>

// The view's drawing state and its screen-space quads, composited into the image a render lends it.

namespace {

ViewCanvas& CanvasOf(const BaseDraw* view) { return view->GetRecord().view->canvas; }

void Refuse(const std::string& why) { GePrint("BaseDraw::DrawTexture refused: " + why); }

paint::Filter FilterOf(Int32 flags) {
  switch (flags & DRAW_TEXTUREFLAGS_INTERPOLATION_MASK) {
    case DRAW_TEXTUREFLAGS_INTERPOLATION_LINEAR:
      return paint::Filter::Bilinear;
    case DRAW_TEXTUREFLAGS_INTERPOLATION_LINEAR_MIPMAP:
      return paint::Filter::Area;
    default:
      return paint::Filter::Nearest;
  }
}

// The quad's corners, in texture-coordinate order, must form an axis-aligned rectangle carrying the
// whole texture; then they are its first (u, v = 0) and last (1) corner.
bool IsWholeTextureRectangle(const Vector* p, const Vector* uvw) {
  const bool rectangle = p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
  const bool wholeTexture = !uvw || (uvw[0] == Vector(0, 0, 0) && uvw[1] == Vector(1, 0, 0) &&
                                     uvw[2] == Vector(1, 1, 0) && uvw[3] == Vector(0, 1, 0));
  return rectangle && wholeTexture;
}

bool SameColours(const Vector* colours) {
  return !colours || (colours[0] == colours[1] && colours[0] == colours[2] && colours[0] == colours[3]);
}

// Draw parameter 2: blended quads leave pixels the texture covers by at most this many 255ths.
Float32 MinCoverage(const BaseDraw& view) {
  const GeData value = view.GetDrawParam(DRAW_PARAMETER_ALPHA_THRESHOLD);
  const Float steps = value.GetType() == DA_LONG   ? value.GetInt32()
                      : value.GetType() == DA_REAL ? value.GetFloat()
                                                   : 0.0;
  return std::isnan(steps) ? 0.0f : static_cast<Float32>(std::clamp(steps, 0.0, 255.0) / 255.0);
}

paint::TextureView TextureOf(const BitmapRecord& record) {
  paint::TextureView texture{record.width, record.height, record.rgb.data(),
                             record.alpha.empty() ? nullptr : record.alpha.data(),
                             record.linear ? paint::Encoding::Linear : paint::Encoding::Display};
  texture.left = record.left;
  texture.top = record.top;
  texture.frameWidth = record.frameWidth;
  texture.frameHeight = record.frameHeight;
  return texture;
}

}  // namespace

void BaseDraw::DrawTexture(const BaseBitmap* bitmap, const Vector* points, const Vector* colours,
                           const Vector* /*normals*/, const Vector* uvw, Int32 count, Int32 alphaMode,
                           Int32 flags) {
  ViewCanvas& canvas = CanvasOf(this);
  LogDrawCall(canvas,
              "DrawTexture " + std::to_string(count) + " points, alpha mode " + std::to_string(alphaMode));
  // Screen-space quads land on top: a render's lent image has no depth buffer.
  if (canvas.target.IsEmpty()) return Refuse("the view has no image to draw into (only a render lends one)");
  if (!canvas.screenSpace) return Refuse("only screen-space quads are drawn (SetMatrix_Screen first)");
  if (!bitmap || bitmap->IsEmpty()) return Refuse("the bitmap is empty");
  if (!points || count != 4 || !IsWholeTextureRectangle(points, uvw))
    return Refuse("only axis-aligned rectangles carrying the whole texture are drawn");
  if (!SameColours(colours)) return Refuse("the four vertex colours differ");
  const bool fromImage = (alphaMode & DRAW_ALPHA_FROM_IMAGE) != 0;
  if (fromImage && !bitmap->HasAlpha() && !(alphaMode & DRAW_ALPHA_OPAQUE_WITHOUT_CHANNEL))
    return Refuse("the bitmap has no alpha channel to take coverage from");

  const Vector tint = colours ? colours[0] : Vector(1.0, 1.0, 1.0);
  paint::TextureDraw draw;
  // Screen coordinates name pixel centres; the paint core's centres lie half a pixel further.
  draw.x0 = points[0].x + 0.5;
  draw.y0 = points[0].y + 0.5;
  draw.x1 = points[2].x + 0.5;
  draw.y1 = points[2].y + 0.5;
  draw.filter = FilterOf(flags);
  draw.useAlpha = fromImage;
  draw.blend = alphaMode != DRAW_ALPHA_NONE;
  draw.minCoverage = MinCoverage(*this);
  draw.tint = {static_cast<Float32>(tint.x), static_cast<Float32>(tint.y), static_cast<Float32>(tint.z),
               1.0f};
  canvas.painted = true;
  paint::DrawTexture(paint::Painter(canvas.target), TextureOf(bitmap->GetRecord()), draw);
}
