#pragma once

#include "command_files.h"
#include "render/renderer.h"

#include <string>
#include <vector>

// The line `orvex360 render --check` ends with when every check passed: the frames, the image size
// and every file the render would write (a numbered file by its first and last frame), e.g.
// "orvex360: check passed: would render frames 0-59 (60 frames) of 2048 x 1024 to walk_0000.png ...
// walk_0059.png; --comfort c_0000.json ... c_0059.json".
std::string CheckSummary(BaseDocument* doc, const RenderOptions& options,
                         const std::vector<CommandFile>& files);
