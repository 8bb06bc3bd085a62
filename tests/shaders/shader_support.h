#pragma once

#include "c4d.h"
#include "runtime/shader_gradient.h"
#include "runtime/shader_params.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

struct ShaderDeleter {
  void operator()(BaseShader* shader) const { BaseShader::Free(shader); }
};
using ShaderPtr = std::unique_ptr<BaseShader, ShaderDeleter>;

inline INITRENDERRESULT InitRender(BaseShader& shader) { return shader.InitRender(InitRenderStruct()); }

inline Vector SampleAt(BaseShader& shader, Float u, Float v) {
  ChannelData cd;
  cd.p = Vector(u, v, 0.0);
  return shader.Sample(&cd);
}

inline ShaderPtr MakeGradient(const std::vector<GradientKnot>& knots) {
  ShaderPtr shader(BaseShader::Alloc(Xgradient));
  SetGradientKnots(*shader->GetDataInstance(), knots);
  return shader;
}

// 4 x 2 pixels as an 8-bit PPM: red by column 0, 0.2, 0.4, 1; green by row 0, 1; blue 0.6.
inline ShaderPtr MakeImageShader() {
  // One file per process: ctest runs tests side by side.
  const std::string path = ::testing::TempDir() + "orvex_image_shader_" + std::to_string(::getpid()) + ".ppm";
  std::ofstream file(path, std::ios::binary);
  file << "P6\n4 2\n255\n";
  for (const char green : {0, 255})
    for (const char red : {0, 51, 102, 255}) file << red << green << static_cast<char>(153);
  file.close();
  ShaderPtr shader(BaseShader::Alloc(Xbitmap));
  shader->GetDataInstance()->SetFilename(IMAGESHADER_FILE, Filename(path.c_str()));
  return shader;
}
