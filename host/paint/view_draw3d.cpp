#include "canvas/view_canvas.h"
#include "paint/raster3d.h"
#include "runtime/node_record.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

// The view's drawing state and its 3D drawing calls, rasterized while a draw pass lends the view an
// image (paint/view_pass.cpp); every call is also written to the pass's draw log when it keeps one.

namespace {

constexpr Int32 kMaxLineWidth = 32;
constexpr Float kMaxPointSize = 256.0;
constexpr Int32 kSphereRings = 8;
constexpr Int32 kSphereSegments = 16;

ViewCanvas& CanvasOf(const BaseDraw* view) { return view->GetRecord().view->canvas; }

std::string Text(Float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.4f", value);
  return buffer;
}

std::string Text(const Vector& v) { return "(" + Text(v.x) + ", " + Text(v.y) + ", " + Text(v.z) + ")"; }

std::string Text(const Matrix& m) {
  return "offset " + Text(m.offset) + " x " + Text(m.axisX) + " y " + Text(m.axisY) + " z " + Text(m.axisZ);
}

std::string Text(const GeData& data) {
  switch (data.GetType()) {
    case DA_LONG:
      return std::to_string(data.GetInt32());
    case DA_REAL:
      return Text(data.GetFloat());
    default:
      return "none";
  }
}

// A colour channel as an artist gives it, limited to 0..1 (NaN is 0).
Float32 Channel(Float value) {
  return std::isnan(value) ? 0.0f : static_cast<Float32>(std::clamp(value, 0.0, 1.0));
}

// A display-encoded colour in the surface's encoding, with the opacity the transparency leaves.
paint::Colour SurfaceColour(const ViewCanvas& canvas, const Vector& colour, Float shade = 1.0) {
  const Float32 opacity =
      1.0f - static_cast<Float32>(std::min(std::abs(Int64(canvas.transparency)), Int64(255))) / 255.0f;
  const auto convert = [&](Float value) {
    return paint::Convert(Channel(value * shade), paint::Encoding::Display, canvas.target.encoding);
  };
  return {convert(colour.x), convert(colour.y), convert(colour.z), opacity};
}

// Translucent fragments never hide what comes later, opaque ones do (see raster3d.h).
paint::RasterStyle StyleOf(const BaseDraw* view, const ViewCanvas& canvas, const Vector& colour) {
  paint::RasterStyle style;
  style.colour = SurfaceColour(canvas, colour);
  style.depthTest = canvas.depthTest;
  style.depthWrite = canvas.depthTest;
  const GeData width = view->GetDrawParam(DRAW_PARAMETER_LINEWIDTH);
  const Float requested = width.GetType() == DA_LONG   ? width.GetInt32()
                          : width.GetType() == DA_REAL ? width.GetFloat()
                                                       : 1.0;
  style.lineWidth = std::isnan(requested)
                        ? 1
                        : static_cast<Int32>(std::clamp(std::round(requested), 1.0, Float(kMaxLineWidth)));
  return style;
}

// Surfaces facing the viewer are brightest; lit the same from both sides.
Float Headlight(const paint::ViewProjection& projection, const Vector& world, const Vector& normal) {
  const Float facing = std::fabs(Dot(projection.ViewDirection(world), normal.GetNormalized()));
  return 0.45 + 0.55 * facing;
}

// True with the rasterizer when the view is inside a draw pass; else says why nothing is drawn.
paint::Raster3D* RasterOf(ViewCanvas& canvas, const char* call) {
  if (canvas.raster) return canvas.raster;
  GePrint(String("BaseDraw::") + call + " refused: the view draws only inside a draw pass");
  return nullptr;
}

// The quad or polygon as a fan of triangles, each corner coloured and lit by its normal.
void DrawFan(const BaseDraw* view, ViewCanvas& canvas, const Vector* world, const Vector* colours,
             const Vector* normals, Int32 count) {
  paint::Raster3D& raster = *canvas.raster;
  const paint::RasterStyle style = StyleOf(view, canvas, canvas.pen);
  std::vector<paint::RasterVertex> corners(static_cast<size_t>(count));
  for (Int32 i = 0; i < count; ++i) {
    const Float shade = normals ? Headlight(raster.Projection(), world[i], normals[i]) : 1.0;
    corners[i] = {world[i], SurfaceColour(canvas, colours ? colours[i] : canvas.pen, shade)};
  }
  for (Int32 i = 1; i + 1 < count; ++i) raster.Triangle({corners[0], corners[i], corners[i + 1]}, style);
}

}  // namespace

void BaseDraw::SetPen(const Vector& colour) {
  ViewCanvas& canvas = CanvasOf(this);
  LogDrawCall(canvas, "SetPen " + Text(colour));
  canvas.pen = Vector(Channel(colour.x), Channel(colour.y), Channel(colour.z));
}

void BaseDraw::SetPointSize(Float size) {
  ViewCanvas& canvas = CanvasOf(this);
  LogDrawCall(canvas, "SetPointSize " + Text(size));
  canvas.pointSize = std::isnan(size) ? 1.0 : std::clamp(size, 1.0, kMaxPointSize);
}

void BaseDraw::SetMatrix_Matrix(BaseObject* object, const Matrix& matrix) {
  ViewCanvas& canvas = CanvasOf(this);
  const std::string name = object ? "\"" + object->GetName().GetStdString() + "\"" : "none";
  LogDrawCall(canvas, "SetMatrix_Matrix " + name + " " + Text(matrix));
  canvas.screenSpace = false;
  canvas.matrix = matrix;
}

void BaseDraw::SetMatrix_Screen() {
  LogDrawCall(CanvasOf(this), "SetMatrix_Screen");
  CanvasOf(this).screenSpace = true;
}

void BaseDraw::SetTransparency(Int32 transparency) {
  LogDrawCall(CanvasOf(this), "SetTransparency " + std::to_string(transparency));
  CanvasOf(this).transparency = transparency;
}

void BaseDraw::SetDepth(Bool enable) {
  LogDrawCall(CanvasOf(this), std::string("SetDepth ") + (enable ? "1" : "0"));
  CanvasOf(this).depthTest = enable;
}

void BaseDraw::LineZOffset(Int32 offset) {
  LogDrawCall(CanvasOf(this), "LineZOffset " + std::to_string(offset));
  CanvasOf(this).lineZOffset = offset;
}

void BaseDraw::SetDrawParam(Int32 id, const GeData& data) {
  LogDrawCall(CanvasOf(this), "SetDrawParam " + std::to_string(id) + " " + Text(data));
  GetDataInstance()->SetData(id, data);
}

void BaseDraw::DrawLine(const Vector& from, const Vector& to, Int32 flags) {
  ViewCanvas& canvas = CanvasOf(this);
  LogDrawCall(canvas, "DrawLine " + Text(from) + " " + Text(to) + " flags " + std::to_string(flags));
  paint::Raster3D* raster = RasterOf(canvas, "DrawLine");
  if (!raster) return;
  paint::RasterStyle style = StyleOf(this, canvas, canvas.pen);
  if (canvas.screenSpace) {
    // Screen points name pixel centres: straight onto the image, over everything.
    canvas.painted = true;
    paint::Painter painter(canvas.target);
    painter.SetPen(style.colour);
    if (std::isfinite(from.x + from.y + to.x + to.y) &&
        std::fabs(from.x) + std::fabs(from.y) + std::fabs(to.x) + std::fabs(to.y) < 1e9)
      painter.DrawLine(static_cast<Int32>(std::lround(from.x)), static_cast<Int32>(std::lround(from.y)),
                       static_cast<Int32>(std::lround(to.x)), static_cast<Int32>(std::lround(to.y)));
    return;
  }
  // Flag bits NOCLIP_D and NOCLIP_Z: the line is drawn in front, outside the depth test.
  if (flags & (NOCLIP_D | NOCLIP_Z)) style.depthTest = style.depthWrite = false;
  style.lineZOffset = canvas.lineZOffset;
  raster->Line(canvas.matrix * from, canvas.matrix * to, style);
}

void BaseDraw::DrawPoint(const Vector& point) {
  ViewCanvas& canvas = CanvasOf(this);
  LogDrawCall(canvas, "DrawPoint " + Text(point));
  paint::Raster3D* raster = RasterOf(canvas, "DrawPoint");
  if (!raster) return;
  if (canvas.screenSpace) return GePrint("BaseDraw::DrawPoint refused: points are drawn in 3D only");
  raster->Point(canvas.matrix * point, canvas.pointSize, StyleOf(this, canvas, canvas.pen));
}

void BaseDraw::DrawPoly(const Vector* points, const Vector* colours, Int32 count, const Vector* normals) {
  ViewCanvas& canvas = CanvasOf(this);
  std::string line = "DrawPoly " + std::to_string(count);
  for (Int32 i = 0; points && i < std::min(count, 16); ++i) line += " " + Text(points[i]);
  LogDrawCall(canvas, line);
  if (!RasterOf(canvas, "DrawPoly")) return;
  if (!points || count < 3 || count > 4096 || canvas.screenSpace)
    return GePrint("BaseDraw::DrawPoly refused: it takes 3 to 4096 points in 3D");
  std::vector<Vector> world(static_cast<size_t>(count));
  std::vector<Vector> worldNormals(normals ? static_cast<size_t>(count) : 0);
  for (Int32 i = 0; i < count; ++i) {
    world[i] = canvas.matrix * points[i];
    if (normals) worldNormals[i] = canvas.matrix.TransformDirection(normals[i]);
  }
  DrawFan(this, canvas, world.data(), colours, normals ? worldNormals.data() : nullptr, count);
}

void BaseDraw::DrawBox(const Matrix& box, Float radius, const Vector& colour, Bool wire) {
  ViewCanvas& canvas = CanvasOf(this);
  LogDrawCall(canvas, "DrawBox radius " + Text(radius) + " colour " + Text(colour) + " wire " +
                          (wire ? "1" : "0") + " " + Text(box));
  paint::Raster3D* raster = RasterOf(canvas, "DrawBox");
  if (!raster) return;
  // Corner i has x, y, z = -radius or +radius by its bits 0, 1 and 2.
  const Matrix placement = canvas.matrix * box;
  Vector corner[8];
  for (int i = 0; i < 8; ++i)
    corner[i] =
        placement * Vector(i & 1 ? radius : -radius, i & 2 ? radius : -radius, i & 4 ? radius : -radius);
  if (wire) {
    const paint::RasterStyle style = StyleOf(this, canvas, colour);
    for (int i = 0; i < 8; ++i)
      for (int bit : {1, 2, 4})
        if (!(i & bit)) raster->Line(corner[i], corner[i | bit], style);
    return;
  }
  constexpr int kFaces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                                {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
  const Vector axes[3] = {placement.axisX, placement.axisY, placement.axisZ};
  for (int face = 0; face < 6; ++face) {
    const Vector normal = axes[face / 2];
    const Vector points[4] = {corner[kFaces[face][0]], corner[kFaces[face][1]], corner[kFaces[face][2]],
                              corner[kFaces[face][3]]};
    const Vector colours[4] = {colour, colour, colour, colour};
    const Vector normals[4] = {normal, normal, normal, normal};
    DrawFan(this, canvas, points, colours, normals, 4);
  }
}

void BaseDraw::DrawSphere(const Vector& offset, const Vector& size, const Vector& colour, Int32 flags) {
  ViewCanvas& canvas = CanvasOf(this);
  LogDrawCall(canvas, "DrawSphere " + Text(offset) + " size " + Text(size) + " colour " + Text(colour) +
                          " flags " + std::to_string(flags));
  if (!RasterOf(canvas, "DrawSphere")) return;
  // An ellipsoid with radii `size`, as rings of quads.
  const auto at = [&](Int32 ring, Int32 segment) {
    const Float lat = -1.5707963267948966 + 3.141592653589793 * ring / kSphereRings;
    const Float lon = 6.283185307179586 * segment / kSphereSegments;
    return Vector(std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon));
  };
  for (Int32 ring = 0; ring < kSphereRings; ++ring) {
    for (Int32 segment = 0; segment < kSphereSegments; ++segment) {
      const Vector unit[4] = {at(ring, segment), at(ring, segment + 1), at(ring + 1, segment + 1),
                              at(ring + 1, segment)};
      Vector points[4];
      Vector normals[4];
      for (int i = 0; i < 4; ++i) {
        points[i] =
            canvas.matrix * (offset + Vector(unit[i].x * size.x, unit[i].y * size.y, unit[i].z * size.z));
        normals[i] = canvas.matrix.TransformDirection(unit[i]);
      }
      const Vector colours[4] = {colour, colour, colour, colour};
      DrawFan(this, canvas, points, colours, normals, 4);
    }
  }
}
