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
  Int32 commandId;  // the module's create command that makes the camera; 0: a plain camera
  const char* description;
  Int32 width;  // the output size that suits the kind
  Int32 height;
};

const std::vector<CameraKindInfo>& CameraKinds();
// Null for an unknown name.
const CameraKindInfo* FindCameraKind(const std::string& name);
// The names, comma separated, for messages.
std::string CameraKindNames();

// Inserts a camera of that kind as the scene's first object by running the module's create
// command in `doc` (the tag it makes inserts the effect into the active render settings itself);
// a camera the command leaves at the origin is moved to `position`. Null with `error` when the
// command is missing or fails.
BaseObject* AddCamera(BaseDocument* doc, CameraKind kind, const Vector& position, std::string& error);

// The Orvex360Cam effect in the document's active render settings, or null.
BaseVideoPost* FindOrvexEffect(BaseDocument* doc);
