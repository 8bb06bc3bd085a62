#pragma once

#include "c4d.h"

#include <string_view>

// The module's camera tag and video-post effect as the host knows them: the node types registered
// under their description resources, and their parameters by the descriptions' symbols.
Int32 CameraTagType();  // "OrvexTag"
Int32 EffectType();     // "Orvex360Cam"

// Parameter IDs by symbol ("ORVEXTAG_PROJECTION", "ORVEXVP_STEREO_MODE"); kUnknownSymbol with a
// console line when the loaded module's description has no such parameter.
Int32 TagParameter(std::string_view symbol);
Int32 EffectParameter(std::string_view symbol);

// The camera's tag of the module, or null.
BaseTag* CameraTagOf(BaseObject* camera);
