#pragma once

#include "c4d_nodes.h"

class BaseBitmap;
struct ViewRecord;

enum DRAWPASS : Int32 {
  DRAWPASS_OBJECT = 0,
  DRAWPASS_BOX = 1,
  DRAWPASS_HANDLES = 2,
  DRAWPASS_HIGHLIGHTS = 3
};
// Draw parameters: line width in pixels; the coverage (in 255ths) at or below which a blended
// textured quad leaves a pixel as it is.
enum : Int32 { DRAW_PARAMETER_LINEWIDTH = 1000, DRAW_PARAMETER_ALPHA_THRESHOLD = 2 };
enum : Int32 { NOCLIP_D = 1, NOCLIP_Z = 2 };
// How DrawTexture covers the view (bits): FROM_IMAGE takes coverage from the bitmap's alpha
// channel, NORMAL blends over the view instead of replacing its pixels, OPAQUE_WITHOUT_CHANNEL
// draws a bitmap without an alpha channel as opaque (without it such a bitmap is refused).
enum : Int32 {
  DRAW_ALPHA_NONE = 0,
  DRAW_ALPHA_OPAQUE_WITHOUT_CHANNEL = 1,
  DRAW_ALPHA_FROM_IMAGE = 4,
  DRAW_ALPHA_NORMAL = 8,
  DRAW_ALPHA_NORMAL_FROM_IMAGE = DRAW_ALPHA_NORMAL | DRAW_ALPHA_FROM_IMAGE,
};
// DrawTexture's texel filter: nearest (also 0), bilinear, or bilinear that averages when shrinking.
enum : Int32 {
  DRAW_TEXTUREFLAGS_0 = 0,
  DRAW_TEXTUREFLAGS_INTERPOLATION_NEAREST = 0x100000,
  DRAW_TEXTUREFLAGS_INTERPOLATION_LINEAR = 0x200000,
  DRAW_TEXTUREFLAGS_INTERPOLATION_LINEAR_MIPMAP = 0x400000,
  DRAW_TEXTUREFLAGS_INTERPOLATION_MASK = 0xf00000,
};

// A viewport: its scene camera and the drawing operations a tag uses to show guides.
class BaseDraw : public BaseList2D {
 public:
  BaseObject* GetSceneCamera(const BaseDocument* doc) const;
  BaseObject* GetEditorCamera() const;
  void SetSceneCamera(BaseObject* camera, Bool animate = false);
  Bool HasCameraLink() const;
  // True while the view shows its alternate render state (the second editor-render toggle).
  Bool IsAlternateRenderState() const;

  DRAWPASS GetDrawPass() const;
  GeData GetDrawParam(Int32 id) const;
  void SetDrawParam(Int32 id, const GeData& data);
  void SetPen(const Vector& colour);
  void SetPointSize(Float size);
  void SetMatrix_Matrix(BaseObject* object, const Matrix& matrix);
  void SetTransparency(Int32 transparency);
  void SetDepth(Bool enable);
  // Points of later drawing calls are screen pixels (x right, y down; (x, y) is the centre of
  // pixel (x, y)) until the next SetMatrix_Matrix.
  void SetMatrix_Screen();
  // Moves lines towards (negative) or away from the viewer in the depth test.
  void LineZOffset(Int32 offset);

  void DrawLine(const Vector& from, const Vector& to, Int32 flags);
  // A square point of the current point size (SetPointSize) in the pen's colour.
  void DrawPoint(const Vector& point);
  void DrawPoly(const Vector* points, const Vector* colours, Int32 count, const Vector* normal = nullptr);
  void DrawBox(const Matrix& box, Float radius, const Vector& colour, Bool wire);
  void DrawSphere(const Vector& offset, const Vector& size, const Vector& colour, Int32 flags);
  // A textured quad: four points with texture coordinates (0,0), (1,0), (1,1), (0,1), one vertex
  // colour (multiplied into the texels) and the alpha mode and texture flags above. So far the
  // host draws screen-space, axis-aligned quads into the image a render gives the view; anything
  // else is refused with a console line.
  void DrawTexture(const BaseBitmap* bitmap, const Vector* points, const Vector* colours,
                   const Vector* normals, const Vector* uvw, Int32 count, Int32 alphaMode = DRAW_ALPHA_NONE,
                   Int32 flags = DRAW_TEXTUREFLAGS_0);

  // Frame of the view in pixels.
  void GetFrame(Int32* left, Int32* top, Int32* right, Int32* bottom) const;

 protected:
  using BaseList2D::BaseList2D;
  friend struct NodeFactory;
};

// How much of the views a redraw request covers.
enum DRAWFLAGS : Int32 { DRAWFLAGS_0 = 0, DRAWFLAGS_FORCEFULLREDRAW = 32768 };

// Asks the host to redraw the active document's views (or only `view`), so that drawn guides
// follow a changed value; false when there is no view to redraw.
Bool DrawViews(Int32 flags, BaseDraw* view = nullptr);

// Helper the host passes with every draw call.
class BaseDrawHelp {
 public:
  BaseDocument* GetDocument() const;
  Matrix GetMg() const;

 protected:
  BaseDrawHelp() = default;
  ~BaseDrawHelp() = default;
};
