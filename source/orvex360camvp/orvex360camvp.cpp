#include "orvex360camvp/orvex360camvp.h"

#include "module_log.h"

#include <new>

namespace {
constexpr Int32 kNameString = 10000;
constexpr Int32 kInfoFlags = 32;
}  // namespace

NodeData* Orvex360CamVP::Alloc() { return new (std::nothrow) Orvex360CamVP(); }

Bool RegisterOrvex360CamVP() {
  ModuleLog("READY!");
  return RegisterVideoPostPlugin(ID_ORVEX360CAMVP, GeLoadString(kNameString), kInfoFlags,
                                 Orvex360CamVP::Alloc, "Orvex360Cam", 0, 0);
}
