#pragma once

#include "c4d.h"
#include "module_reading/camera_kinds.h"

#include <CLI/CLI.hpp>

#include <string>

// `orvex360 render --tilt DEG`: a dome leaned as a planetarium's is. The camera keeps its kind's
// own turn (a fulldome looks up, a little planet down) or the one --rotate gave it, and turns down
// by DEG about its own horizontal axis after it: a fulldome tilted 30 degrees has its zenith 30
// degrees towards the front, looking up at 60 degrees; a negative tilt turns up.
void AddTiltOption(CLI::App& render, std::string& degrees);

// Tilts `camera` by `degrees` (empty: not asked); false with `error` for a kind without a dome.
bool ApplyTilt(const std::string& degrees, const CameraKindInfo& kind, BaseObject& camera,
               std::string& error);

// The camera's own turn as --rotate takes it ("heading,pitch,bank" in degrees), so that
// a project keeps a tilted camera as it was rendered.
std::string RotationText(const BaseObject& camera);
