#pragma once

#include "c4d.h"
#include "geometry/cubemap_layout.h"

#include <array>

// The cube-face preview images (index 6 is "no face") and the bitmaps of the panel's bitmap buttons.
using FaceImages = std::array<BaseBitmap*, 7>;

// Loads the seven preview images from the module's res folder, replacing (and freeing) any there
// were. A file that does not load leaves its image empty.
void LoadFaceImages(FaceImages& images);
void FreeFaceImages(FaceImages& images);

Bool IsPreviewButton(Int32 id);

// A new bitmap for preview button `id`: a copy of the face image of its cell, the no-face image for
// a cell without a face, empty for a cell outside the grid. Null when allocation fails.
BaseBitmap* MakePreviewBitmap(Int32 id, const orvex::CubemapLayout& layout, const FaceImages& images);

// A new bitmap with the header image; empty when its file does not load.
BaseBitmap* MakeHeaderBitmap();
