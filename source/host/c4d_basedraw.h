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
enum : Int32 { DRAW_PARAMETER_LINEWIDTH = 1000, DRAW_PARAMETER_ALPHA_THRESHOLD = 2 };
enum : Int32 { NOCLIP_D = 1, NOCLIP_Z = 2 };

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

  void DrawLine(const Vector& from, const Vector& to, Int32 flags);
  void DrawPoly(const Vector* points, const Vector* colours, Int32 count, const Vector* normal = nullptr);
  void DrawBox(const Matrix& box, Float radius, const Vector& colour, Bool wire);
  void DrawSphere(const Vector& offset, const Vector& size, const Vector& colour, Int32 flags);
  void DrawTexture(const BaseBitmap* bitmap, const Vector* points, const Vector* colours,
                   const Vector* normals, const Vector* uvw, Int32 count);

  // Frame of the view in pixels.
  void GetFrame(Int32* left, Int32* top, Int32* right, Int32* bottom) const;

 protected:
  using BaseList2D::BaseList2D;
  friend struct NodeFactory;
};

// Helper the host passes with every draw call.
class BaseDrawHelp {
 public:
  BaseDocument* GetDocument() const;
  Matrix GetMg() const;

 protected:
  BaseDrawHelp() = default;
  ~BaseDrawHelp() = default;
};
