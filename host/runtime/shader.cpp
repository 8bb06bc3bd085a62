#include "node_record.h"

// Shaders sample to black until the image and gradient shaders arrive with the renderer.

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

INITRENDERRESULT BaseShader::InitRender(const InitRenderStruct&) { return INITRENDERRESULT_OK; }
Vector BaseShader::Sample(ChannelData*) { return Vector(); }
void BaseShader::FreeRender() {}
