#include "orvex360camvp/orvex360camvp.h"

#include "module_log.h"
#include "orvex360camvp/orvex360camvp_params.h"

#include <new>

namespace {
constexpr Int32 kNameString = 10000;
constexpr Int32 kInfoFlags = 32;
}  // namespace

NodeData* Orvex360CamVP::Alloc() { return new (std::nothrow) Orvex360CamVP(); }

Orvex360CamVP::~Orvex360CamVP() = default;

Bool Orvex360CamVP::Init(GeListNode* node) { return VideoPostData::Init(node); }
void Orvex360CamVP::Free(GeListNode* node) { VideoPostData::Free(node); }
Bool Orvex360CamVP::Message(GeListNode*, Int32, void*) { return true; }

Bool Orvex360CamVP::GetDDescription(GeListNode* node, Description* description, DESCFLAGS_DESC& flags) {
  return VideoPostData::GetDDescription(node, description, flags);
}

Bool Orvex360CamVP::GetDParameter(GeListNode* node, const DescID& id, GeData& data, DESCFLAGS_GET& flags) {
  return VideoPostData::GetDParameter(node, id, data, flags);
}

Bool Orvex360CamVP::SetDParameter(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_SET& flags) {
  return VideoPostData::SetDParameter(node, id, data, flags);
}

Bool Orvex360CamVP::GetDEnabling(GeListNode* node, const DescID& id, const GeData& data, DESCFLAGS_ENABLE flags,
                                 const BaseContainer* itemDescription) {
  return VideoPostData::GetDEnabling(node, id, data, flags, itemDescription);
}

Bool Orvex360CamVP::RenderEngineCheck(BaseVideoPost*, Int32) { return true; }

void Orvex360CamVP::BuildLayout(Bool) {}

Bool RegisterOrvex360CamVP() {
  ModuleLog("READY!");
  return RegisterVideoPostPlugin(ID_ORVEX360CAMVP, GeLoadString(kNameString), kInfoFlags, Orvex360CamVP::Alloc,
                                 "Orvex360Cam", 0, 0);
}
