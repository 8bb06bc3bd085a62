#pragma once

#include <string>

// Where a render's frames go: image files (one per frame) or one video, told apart by the suffix.
// Checks, before any rendering, that the render can write there; false with `error` naming what
// the name lacks (every suffix a render writes) or why the folder takes no file.
bool CheckRenderOutput(const std::string& path, std::string& error);
