#include "node_record.h"

// The viewport of a document. Drawing calls are accepted; the software rasterizer that turns them
// into pixels lives with the paint code.

namespace {
ViewState& StateOf(const BaseDraw* view) { return *view->GetRecord().view; }
}  // namespace

BaseObject* BaseDraw::GetSceneCamera(const BaseDocument* /*doc*/) const {
  return static_cast<BaseObject*>(StateOf(this).sceneCamera.GetLink());
}

BaseObject* BaseDraw::GetEditorCamera() const { return GetSceneCamera(nullptr); }
void BaseDraw::SetSceneCamera(BaseObject* camera, Bool /*animate*/) {
  StateOf(this).sceneCamera = BaseLink(camera);
}
Bool BaseDraw::HasCameraLink() const { return GetSceneCamera(nullptr) != nullptr; }
Bool BaseDraw::IsAlternateRenderState() const { return StateOf(this).alternateRenderState; }

DRAWPASS BaseDraw::GetDrawPass() const { return DRAWPASS_OBJECT; }
GeData BaseDraw::GetDrawParam(Int32 id) const { return GetDataInstance()->GetData(id); }
void BaseDraw::SetDrawParam(Int32 id, const GeData& data) { GetDataInstance()->SetData(id, data); }
void BaseDraw::SetPen(const Vector&) {}
void BaseDraw::SetPointSize(Float) {}
void BaseDraw::SetMatrix_Matrix(BaseObject*, const Matrix&) {}
void BaseDraw::SetTransparency(Int32) {}
void BaseDraw::SetDepth(Bool) {}
void BaseDraw::DrawLine(const Vector&, const Vector&, Int32) {}
void BaseDraw::DrawPoly(const Vector*, const Vector*, Int32, const Vector*) {}
void BaseDraw::DrawBox(const Matrix&, Float, const Vector&, Bool) {}
void BaseDraw::DrawSphere(const Vector&, const Vector&, const Vector&, Int32) {}
void BaseDraw::DrawTexture(const BaseBitmap*, const Vector*, const Vector*, const Vector*, const Vector*,
                           Int32) {}

void BaseDraw::GetFrame(Int32* left, Int32* top, Int32* right, Int32* bottom) const {
  *left = 0;
  *top = 0;
  *right = StateOf(this).width - 1;
  *bottom = StateOf(this).height - 1;
}
