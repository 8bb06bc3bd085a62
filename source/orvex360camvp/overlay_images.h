#pragma once

#include "c4d.h"

// The logo and mask images of the fulldome overlays.
namespace overlay_images {

// Loads `path` into `bitmap`. An empty name, a file that does not load, or an image without
// pixels is a failed load: the bitmap is left empty and one line names the layer (`what`), the
// file and the reason. Values that are no number are loaded as 0, with one line saying so.
[[nodiscard]] Bool Load(BaseBitmap& bitmap, const Filename& path, const char* what);

// A mask without an alpha channel covers by its brightness: black covers the render, white lets it
// show through (grey in between), as a printed mask would. The mask becomes black with that alpha.
void CoverageFromBrightness(BaseBitmap& mask);

}  // namespace overlay_images
