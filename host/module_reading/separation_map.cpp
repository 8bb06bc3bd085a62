#include "separation_map.h"

#include "description_symbols.h"
#include "image/image_limits.h"
#include "module_parameters.h"
#include "runtime/shader_gradient.h"
#include "runtime/shader_params.h"

#include <filesystem>

namespace separation_map {

BaseShader* MakeImage(const std::string& file, std::string& error) {
  if (!image_limits::CheckFile(file, error)) {
    error = "separation map: " + error;
    return nullptr;
  }
  BaseShader* shader = BaseShader::Alloc(Xbitmap);
  if (!shader) {
    error = "cannot create an image shader";
    return nullptr;
  }
  const std::string path = std::filesystem::absolute(file).string();
  shader->GetDataInstance()->SetFilename(IMAGESHADER_FILE, Filename(path.c_str()));
  // Opening it once tells now, not in the middle of the render, whether the image can be read.
  const INITRENDERRESULT opened = shader->InitRender(InitRenderStruct());
  shader->FreeRender();
  if (opened == INITRENDERRESULT_OK) return shader;
  BaseShader::Free(shader);
  error = "the separation map \"" + file + "\" cannot be read as an image";
  return nullptr;
}

BaseShader* MakePoleFade() {
  BaseShader* shader = BaseShader::Alloc(Xgradient);
  if (!shader) return nullptr;
  const GradientKnot knots[] = {{0.0, Vector(0.0)}, {0.5, Vector(1.0)}, {1.0, Vector(0.0)}};
  SetGradientKnots(*shader->GetDataInstance(), knots);
  shader->GetDataInstance()->SetInt32(GRADIENTSHADER_AXIS, kGradientAxisVertical);
  return shader;
}

bool Link(BaseTag& tag, BaseShader* shader, std::string& error) {
  const Int32 link = ParameterId(tag.GetType(), tag_parameter::kSeparationMapShader);
  const Int32 on = ParameterId(tag.GetType(), tag_parameter::kSeparationMap);
  if (link == kUnknownSymbol || on == kUnknownSymbol) {
    BaseShader::Free(shader);
    error = "the camera tag takes no separation map (see the console)";
    return false;
  }
  tag.InsertShader(shader);
  tag.GetDataInstance()->SetLink(link, shader);
  tag.SetParameter(DescID(on), GeData(true), DESCFLAGS_SET_0);
  return true;
}

}  // namespace separation_map
