#pragma once

#include "c4d.h"

#include <string>
#include <vector>

// The kinds of camera a render can look through: the six 360 cameras an artist creates from the
// Plugins menu (a camera with an OrvexTag preset for its output), a cubemap camera limited to one
// face, and a plain camera without a tag.
enum class CameraKind { Fulldome, Fisheye, LittlePlanet, Panorama, Cylindrical, Cubemap, CubeFace, Plain };

struct CameraKindInfo {
  CameraKind kind;
  const char* name;
  const char* description;
  Int32 width;  // the output size that suits the kind
  Int32 height;
};

const std::vector<CameraKindInfo>& CameraKinds();
// Null for an unknown name.
const CameraKindInfo* FindCameraKind(const std::string& name);
// The names, comma separated, for messages.
std::string CameraKindNames();

// Inserts a camera of that kind as the scene's first object at `position`, preset as the kind's
// create command would preset it (tag settings, rotation, focal length). The tag needs the loaded
// module and inserts the effect into the active render settings itself. Null with `error` when the
// tag cannot be made.
BaseObject* AddCamera(BaseDocument* doc, CameraKind kind, const Vector& position, std::string& error);

// The Orvex360Cam effect in the document's active render settings, or null.
BaseVideoPost* FindOrvexEffect(BaseDocument* doc);

// Heading, pitch and bank in radians to a rotation matrix: heading turns about +Y (positive turns
// left), pitch about +X (positive looks up), bank about +Z; bank applies first, heading last.
Matrix RotationFromHpb(const Vector& hpb);
