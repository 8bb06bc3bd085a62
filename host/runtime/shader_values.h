#pragma once

#include "c4d.h"

#include <string>

// What the host's own shaders take (shader_params.h), checked where their values come from outside
// (a project file), so that a shader that could not render is refused there instead of failing
// its render initialisation part way through a render.
namespace shader_values {

// Whether `data` holds only parameters the shader of `type` has, each of its type, and what it
// needs to render (an image shader's file). False with `error` naming the parameter and what it takes.
bool Check(Int32 type, const BaseContainer& data, std::string& error);

}  // namespace shader_values
