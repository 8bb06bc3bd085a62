#pragma once

#include "c4d.h"

#include <optional>
#include <span>

// One create command: how it appears in the menu and what it writes into its tag and does to its
// camera. Empty values are left as the tag's defaults or the camera's own.
struct CameraPreset {
  Int32 commandId;       // also the tag's camera kind
  Int32 nameString;      // the command's name in the module's strings
  const char* iconFile;  // in the module's res folder
  const char* logText;   // the command's console line
  // Tag values, written straight into the tag's container in this order.
  std::optional<Float> fisheyeFov;
  Int32 projection;
  std::optional<Int32> fisheyeType;
  Int32 stereoRig;
  std::optional<Vector> directionPad;
  // Camera changes, in this order.
  std::optional<Vector> position;
  std::optional<Vector> rotation;  // heading, pitch, bank in radians
  Bool sendUpdate;
  std::optional<Float> focalLength;  // millimetres
};

// Every create command, in menu order.
std::span<const CameraPreset> CameraPresets();

// The preset of command `commandId`; null when no command has that ID.
[[nodiscard]] const CameraPreset* FindCameraPreset(Int32 commandId);

// Writes the preset into a tag on its camera: the camera kind through the tag's parameter path
// (so that the tag reacts to it), everything else directly.
void ApplyPreset(const CameraPreset& preset, BaseObject& camera, BaseTag& tag);
