#pragma once

#include "c4d.h"

#include <string>

// Separation maps for the camera tag: shaders whose red channel scales the eye separation in each
// direction of a stereo render.
namespace separation_map {

// An image shader over `file` (absolute or relative to the working folder); null with `error` when
// the image cannot be read.
BaseShader* MakeImage(const std::string& file, std::string& error);

// A vertical gradient over the panorama map that fades the separation toward the poles: 0 at both
// poles, 1 at the horizon, so that looking straight up or down shows no doubled image. (On the dome
// map of a fulldome it runs across the dome instead of around it.)
BaseShader* MakePoleFade();

// Hands `shader` to the tag, which owns it from then on, links it as the tag's separation map and
// switches the map on. False with `error` (and the shader freed) when the tag's description has no
// separation map.
bool Link(BaseTag& tag, BaseShader* shader, std::string& error);

}  // namespace separation_map
