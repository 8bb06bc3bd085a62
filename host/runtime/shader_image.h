#pragma once

#include "shader_program.h"

// Loads the image named by the parameters; ASSETMISSING for no name or a file that cannot be read.
std::unique_ptr<ShaderProgram> BuildImageProgram(const BaseContainer& data, INITRENDERRESULT& result);
