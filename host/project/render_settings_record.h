#pragma once

#include "c4d.h"
#include "runtime/description_record.h"

#include <string>

// The render settings a command line and a project file name, with their IDs, kinds and limits.
struct RenderSettingName {
  const char* name;
  Int32 id;
  ElementKind kind;
  Float min;
  Float max;
  bool whole;  // pixel counts: whole numbers, though the settings hold them as floats
};

inline constexpr RenderSettingName kRenderSettingNames[] = {
    {"width", RDATA_XRES, ElementKind::Float, 1.0, 65536.0, true},
    {"height", RDATA_YRES, ElementKind::Float, 1.0, 65536.0, true},
    {"fps", RDATA_FRAMERATE, ElementKind::Float, 1.0, 1000.0, false},
    {"stereo", RDATA_STEREO, ElementKind::Bool, 0.0, 1.0, false},
};

// The names above as a description, so that project files name, type and check render settings the
// way they do a node's parameters.
const DescriptionRecord& RenderSettingsRecord();

// Whether `value` fits the render setting `id` (inside its limits, whole where it counts pixels),
// wherever it comes from: the command line or a project file. IDs not named above fit. False with
// `error` naming the setting and what it takes.
bool CheckRenderSetting(Int32 id, const GeData& value, std::string& error);
