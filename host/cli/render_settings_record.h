#pragma once

#include "c4d.h"
#include "runtime/description_record.h"

// The render settings a command line and a project file name, with their IDs, kinds and limits.
struct RenderSettingName {
  const char* name;
  Int32 id;
  ElementKind kind;
  Float min;
  Float max;
};

inline constexpr RenderSettingName kRenderSettingNames[] = {
    {"width", RDATA_XRES, ElementKind::Float, 1.0, 65536.0},
    {"height", RDATA_YRES, ElementKind::Float, 1.0, 65536.0},
    {"fps", RDATA_FRAMERATE, ElementKind::Float, 1.0, 1000.0},
    {"stereo", RDATA_STEREO, ElementKind::Bool, 0.0, 1.0},
};

// The names above as a description, so that project files name, type and check render settings the
// way they do a node's parameters.
const DescriptionRecord& RenderSettingsRecord();
