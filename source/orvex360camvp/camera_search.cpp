#include "module_log.h"
#include "orvex360camvp/orvex360camvp.h"
#include "settings/orvextag_params.h"
#include "settings/stereo_settings.h"

namespace {
// The first camera below `object` (children before the next sibling) that carries an enabled tag
// and is not switched off for rendering.
BaseObject* FindTaggedCamera(BaseObject* object) {
  for (; object; object = object->GetNext()) {
    if (object->GetType() == Ocamera && object->GetRenderMode() != MODE_OFF) {
      const BaseTag* tag = object->GetTag(ID_ORVEXTAG);
      if (tag && tag->GetDataInstance()->GetBool(ORVEXTAG_ENABLE)) return object;
    }
    if (BaseObject* below = FindTaggedCamera(object->GetDown())) return below;
  }
  return nullptr;
}
}  // namespace

BaseDraw* Orvex360CamVP::SearchCamera(BaseDocument* doc) {
  state.camera = nullptr;
  state.tag = nullptr;
  state.tagData = nullptr;
  if (!doc && Get()) doc = Get()->GetDocument();
  if (!doc) doc = GetActiveDocument();
  if (!doc) return nullptr;

  BaseDraw* view = doc->GetActiveBaseDraw();
  BaseObject* sceneCamera = view ? view->GetSceneCamera(doc) : nullptr;
  state.camera = sceneCamera ? sceneCamera : FindTaggedCamera(doc->GetFirstObject());
  if (state.camera) state.tag = state.camera->GetTag(ID_ORVEXTAG);
  if (state.tag) state.tagData = state.tag->GetDataInstance();
  state.eyeSeparation = state.tagData ? EyeSeparation(*state.tagData) : 0.0;
  return view;
}
