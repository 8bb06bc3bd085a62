#include "settings/separation_clone.h"

#include "module_log.h"
#include "settings/orvextag_params.h"

BaseShader* CloneSeparationMap(const BaseContainer& tag, BaseDocument* doc) {
  auto* linked = static_cast<BaseShader*>(tag.GetLink(ORVEXTAG_SEPARATION_MAP_SHADER, doc, Xbase));
  if (!linked) return nullptr;
  InitRenderStruct irs;
  irs.doc = doc;
  const INITRENDERRESULT linkedResult = linked->InitRender(irs);
  if (linkedResult != INITRENDERRESULT_OK) {
    ModuleLog("Shader error [%d]", static_cast<Int32>(linkedResult));
    return nullptr;
  }
  C4DAtom* copy = linked->GetClone();
  linked->FreeRender();
  auto* clone = copy && copy->IsInstanceOf(Xbase) ? static_cast<BaseShader*>(copy) : nullptr;
  if (!clone || clone->InitRender(irs) != INITRENDERRESULT_OK) {
    ModuleLog("Shader clone error");
    if (clone) BaseShader::Free(clone);
    return nullptr;
  }
  return clone;
}

void FreeSeparationClone(BaseShader*& clone) {
  if (!clone) return;
  clone->FreeRender();
  BaseShader::Free(clone);
}

Float ShaderSeparationMap::SampleRed(const Vector& p) const {
  ChannelData channel;
  channel.p = p;
  channel.texflag = 1;
  return shader_->Sample(&channel).x;
}
