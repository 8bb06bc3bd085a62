#pragma once

#include "c4d.h"

#include <memory>

// What a shader's InitRender builds from its parameters. Immutable once built, so any number of
// render threads may sample it at once without locks.
class ShaderProgram {
 public:
  virtual ~ShaderProgram() = default;
  virtual Vector Sample(const ChannelData& cd) const = 0;
};

// The program for a built-in shader type and its parameters; null with a nonzero result when the
// type has none or its parameters cannot be served (a missing image file, no memory).
std::unique_ptr<ShaderProgram> BuildShaderProgram(Int32 type, const BaseContainer& data,
                                                  INITRENDERRESULT& result);
