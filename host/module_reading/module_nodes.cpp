#include "module_nodes.h"

#include "description_symbols.h"

Int32 CameraTagType() { return RegisteredNodeType("OrvexTag"); }

Int32 EffectType() { return RegisteredNodeType("Orvex360Cam"); }

Int32 TagParameter(std::string_view symbol) { return ParameterId(CameraTagType(), symbol); }

Int32 EffectParameter(std::string_view symbol) { return ParameterId(EffectType(), symbol); }

BaseTag* CameraTagOf(BaseObject* camera) {
  const Int32 type = CameraTagType();
  return camera && type != 0 ? camera->GetTag(type) : nullptr;
}
