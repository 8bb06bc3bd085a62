#include "module_log.h"
#include "orvexcreate/camera_presets.h"
#include "orvexcreate/orvexcreate.h"
#include "orvextag/orvextag.h"

namespace {
// The tag's reaction to its camera kind may change the effect's settings after the undo step has
// closed; recording the effect in the step lets undo put those settings back, and take the effect
// out again when the new tag inserted it.
void RecordEffect(BaseDocument* doc, BaseTag* tag, Bool effectExisted) {
  BaseVideoPost* effect = FindVideoPost(tag, doc, false);
  if (effect) doc->AddUndo(effectExisted ? UNDOTYPE_CHANGE : UNDOTYPE_NEW, effect);
}

// The camera and its tag in one undo step; false when either cannot be made.
Bool CreateTaggedCamera(BaseDocument* doc, BaseObject*& camera, BaseTag*& tag) {
  if (!doc) {
    ModuleLog(">>> ERROR no document to create the camera in");
    return false;
  }
  doc->StartUndo();
  camera = BaseObject::Alloc(Ocamera);
  if (!camera) {
    doc->EndUndo();
    return false;
  }
  doc->InsertObject(camera, nullptr, nullptr);
  doc->AddUndo(UNDOTYPE_NEW, camera);

  const Bool effectExisted = FindVideoPost(nullptr, doc, false) != nullptr;
  tag = BaseTag::Alloc(ID_ORVEXTAG);
  if (!tag) {
    // The camera stays, and so does its undo step: the artist sees what was made and can undo it.
    ModuleLog(">>> ERROR cannot create the tag; the new camera stays without it");
    doc->EndUndo();
    return false;
  }
  camera->InsertTag(tag, nullptr);
  doc->AddUndo(UNDOTYPE_NEW, tag);
  RecordEffect(doc, tag, effectExisted);

  tag->SetBit(BIT_ACTIVE);
  doc->SetActiveTag(tag, SELECTION_NEW);
  EventAdd();
  doc->EndUndo();
  return true;
}
}  // namespace

Bool OrvexCreateCamera::Execute(BaseDocument* doc) {
  ModuleLog("%s", preset_.logText);
  BaseObject* camera = nullptr;
  BaseTag* tag = nullptr;
  if (!CreateTaggedCamera(doc, camera, tag)) return false;
  ApplyPreset(preset_, *camera, *tag);
  EventAdd();
  return true;
}
