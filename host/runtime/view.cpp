#include "node_record.h"

// The viewport of a document. Its drawing state and its drawing into an image live with the paint
// code (paint/view_draw.cpp for screen-space quads, paint/view_draw3d.cpp for the 3D calls).

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

void BaseDraw::GetFrame(Int32* left, Int32* top, Int32* right, Int32* bottom) const {
  *left = 0;
  *top = 0;
  *right = StateOf(this).width - 1;
  *bottom = StateOf(this).height - 1;
}
