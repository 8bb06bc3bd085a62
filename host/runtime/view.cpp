#include "node_record.h"

// The viewport of a document. Its drawing state and the screen-space drawing into an image live
// with the paint code (paint/view_draw.cpp); 3D drawing calls are accepted but draw nothing yet.

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
void BaseDraw::SetPointSize(Float) {}
void BaseDraw::DrawLine(const Vector&, const Vector&, Int32) {}
void BaseDraw::DrawPoly(const Vector*, const Vector*, Int32, const Vector*) {}
void BaseDraw::DrawBox(const Matrix&, Float, const Vector&, Bool) {}
void BaseDraw::DrawSphere(const Vector&, const Vector&, const Vector&, Int32) {}

void BaseDraw::GetFrame(Int32* left, Int32* top, Int32* right, Int32* bottom) const {
  *left = 0;
  *top = 0;
  *right = StateOf(this).width - 1;
  *bottom = StateOf(this).height - 1;
}
