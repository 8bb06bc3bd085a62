#include "node_record.h"
#include "shader_gradient.h"
#include "shader_image.h"
#include "shader_program.h"

#include <exception>
#include <new>

void ShaderProgramDeleter::operator()(ShaderProgram* program) const { delete program; }

std::unique_ptr<ShaderProgram> BuildShaderProgram(Int32 type, const BaseContainer& data,
                                                  INITRENDERRESULT& result) {
  result = INITRENDERRESULT_OK;
  if (type == Xbitmap) return BuildImageProgram(data, result);
  if (type == Xgradient) return BuildGradientProgram(data);
  result = INITRENDERRESULT_UNKNOWNERROR;
  return nullptr;
}

BaseShader* BaseShader::Alloc(Int32 type) {
  C4DAtom* node = NodeFactory::Create(type);
  if (node && !node->IsInstanceOf(Xbase)) {
    NodeFactory::Destroy(node);
    return nullptr;
  }
  return static_cast<BaseShader*>(node);
}

void BaseShader::Free(BaseShader*& shader) {
  NodeFactory::Destroy(shader);
  shader = nullptr;
}

// Builds a fresh program from the current parameters; nothing escapes towards the module.
INITRENDERRESULT BaseShader::InitRender(const InitRenderStruct&) {
  NodeRecord& record = GetRecord();
  record.shaderProgram.reset();
  INITRENDERRESULT result = INITRENDERRESULT_UNKNOWNERROR;
  try {
    record.shaderProgram.reset(BuildShaderProgram(record.type, record.data, result).release());
  } catch (const std::bad_alloc&) {
    result = INITRENDERRESULT_OUTOFMEMORY;
  } catch (const std::exception&) {
    result = INITRENDERRESULT_UNKNOWNERROR;
  }
  if (result != INITRENDERRESULT_OK) record.shaderProgram.reset();
  return result;
}

// Black before InitRender or after FreeRender.
Vector BaseShader::Sample(ChannelData* cd) {
  const ShaderProgram* program = GetRecord().shaderProgram.get();
  return program && cd ? program->Sample(*cd) : Vector();
}

void BaseShader::FreeRender() { GetRecord().shaderProgram.reset(); }
