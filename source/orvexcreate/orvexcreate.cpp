#include "orvexcreate/orvexcreate.h"

#include <new>

namespace {
template <typename Command>
Bool RegisterCreateCommand(Int32 id, Int32 nameString, const char* iconFile) {
  CommandData* command = new (std::nothrow) Command();
  const String name = GeLoadString(nameString);
  const AutoBitmap icon(iconFile);
  return RegisterCommandPlugin(id, name, 0, icon, name, command);
}
}  // namespace

Bool RegisterOrvexCreateCommands() {
  return RegisterCreateCommand<OrvexCreateFulldome>(1036701, 10002, "orvextag_fish.tif") &&
         RegisterCreateCommand<OrvexCreateFisheye>(1035136, 10003, "orvextag_fish.tif") &&
         RegisterCreateCommand<OrvexCreatePanorama>(1035137, 10005, "orvextag_pano.tif") &&
         RegisterCreateCommand<OrvexCreateCylindrical>(1036297, 10007, "orvextag_cylindrical.tif") &&
         RegisterCreateCommand<OrvexCreateCubemap>(1036110, 10006, "orvextag_skybox.tif") &&
         RegisterCreateCommand<OrvexCreateLittlePlanet>(1036687, 10004, "orvextag_fish.tif");
}
