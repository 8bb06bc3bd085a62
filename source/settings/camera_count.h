#pragma once

#include "c4d.h"

// How many cameras a render asks the host for: the cube faces of one eye times the eyes.
struct CameraCount {
  Int32 facesPerEye = 1;
  Int32 eyeCount = 1;

  Int32 Total() const { return facesPerEye * eyeCount; }
};

// A cubemap renders its six faces as cameras of their own, but for the single-face layout, which
// renders one face per eye.
Bool RendersSixFaces(const BaseContainer& effect, const BaseContainer& tag);

// The count for the effect's and the tag's settings with the render settings' stereo switch as given;
// reads nothing else and changes nothing, so the viewport can ask it while a render runs.
CameraCount CountCameras(const BaseContainer& effect, const BaseContainer& tag, Bool stereoSwitch);
