#include "orvexcreate/orvexcreate.h"

#include "guarded_entries.h"
#include "orvexcreate/camera_presets.h"

#include <new>

Bool RegisterOrvexCreateCommands() {
  for (const CameraPreset& preset : CameraPresets()) {
    CommandData* command = new (std::nothrow) GuardedCommand<OrvexCreateCamera>(preset);
    const String name = GeLoadString(preset.nameString);
    const AutoBitmap icon(preset.iconFile);
    if (!RegisterCommandPlugin(preset.commandId, name, 0, icon, name, command)) return false;
  }
  return true;
}
