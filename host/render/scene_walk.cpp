#include "scene_walk.h"

namespace {

void Walk(BaseObject* object, Bool parentRenders, const std::function<void(BaseObject&)>& visit) {
  for (; object; object = object->GetNext()) {
    const Int32 mode = object->GetRenderMode();
    const Bool renders = mode == MODE_UNDEF ? parentRenders : mode == MODE_ON;
    if (renders) visit(*object);
    Walk(object->GetDown(), renders, visit);
  }
}

BaseObject* FirstCamera(BaseObject* object) {
  for (; object; object = object->GetNext()) {
    if (object->GetType() == Ocamera) return object;
    if (BaseObject* below = FirstCamera(object->GetDown())) return below;
  }
  return nullptr;
}

}  // namespace

void ForEachRenderedObject(BaseDocument* doc, const std::function<void(BaseObject&)>& visit) {
  if (doc) Walk(doc->GetFirstObject(), true, visit);
}

BaseObject* FindRenderCamera(BaseDocument* doc) {
  if (!doc) return nullptr;
  const BaseDraw* view = doc->GetRenderBaseDraw();
  if (BaseObject* sceneCamera = view ? view->GetSceneCamera(doc) : nullptr) return sceneCamera;
  return FirstCamera(doc->GetFirstObject());
}
