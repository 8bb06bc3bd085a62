#pragma once

#include "shader_program.h"

#include <span>

struct GradientKnot {
  Float position = 0.0;
  Vector color;
};

// Writes the knots into a gradient shader's parameters, replacing any there were.
void SetGradientKnots(BaseContainer& data, std::span<const GradientKnot> knots);

std::unique_ptr<ShaderProgram> BuildGradientProgram(const BaseContainer& data);
