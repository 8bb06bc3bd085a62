#pragma once

#include "c4d.h"
#include "runtime/surface_material.h"

#include <array>

using Rgba = std::array<Float, 4>;

// The slot's texture coordinates from a hit's coordinate sets 0 and 1, through its transform.
std::array<Float, 2> SlotCoordinates(const TextureSlot& slot, const std::array<Float, 2>& set0,
                                     const std::array<Float, 2>& set1);

// The slot's texture at (u, v) (glTF's convention: v = 0 is the image's top row), for a footprint
// `footprint` across in texture coordinates: magnified reads use the slot's magnification filter,
// minified ones its minification filter, blending the two mipmap levels around the footprint when
// the slot uses mipmaps. Coordinates outside [0, 1] wrap as the slot's wrap modes say.
Rgba SampleTexture(const TextureSlot& slot, Float u, Float v, Float footprint);
