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
  // The entry of the tag's "Created as" cycle that names the module's create command making the
  // camera; null: a plain camera.
  const char* createdAs;
  const char* description;
  Int32 width;  // the output size that suits the kind
  Int32 height;
};

const std::vector<CameraKindInfo>& CameraKinds();
// The ID of the module's create command for the kind, read from the tag's description; 0 for a
// plain camera, kUnknownSymbol (with a console line) when the loaded module has no such command.
Int32 CreateCommandOf(const CameraKindInfo& info);
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
