#pragma once

#include "runtime/polygon_mesh.h"

#include <cstddef>
#include <string>
#include <vector>

// Decoding glTF images (PNG or JPEG) from memory.
namespace gltf_image {

// Larger images are refused before their pixels are allocated.
inline constexpr Int32 kMaxSide = 16384;
inline constexpr long long kMaxPixels = 64ll << 20;

// 8-bit RGBA pixels, rows top to bottom; false with `error` for anything but a PNG or JPEG within
// the limits.
bool Decode(const unsigned char* bytes, size_t size, std::vector<unsigned char>& rgba, Int32& width,
            Int32& height, std::string& error);

// The texture an image gives: with `srgb` (colour: base colour, emission) its sRGB-encoded colour
// made linear, else (data: metallic-roughness, normals, occlusion) every value as it is; alpha as it is.
Texture ImageTexture(const std::vector<unsigned char>& rgba, Int32 width, Int32 height, bool srgb);

}  // namespace gltf_image
