#include "test_scene.h"

#include "runtime/console.h"
#include "runtime/host_state.h"

TestScene::TestScene() : doc(BaseDocument::Alloc()) {
  doc->InsertRenderData(RenderData::Alloc());
  host_state::SetActiveDocument(doc);
}

TestScene::~TestScene() { BaseDocument::Free(doc); }

BaseTag* TestScene::AddTaggedCamera() {
  BaseObject* camera = BaseObject::Alloc(Ocamera);
  doc->InsertObject(camera, nullptr);
  tag = BaseTag::Alloc(kTagType);
  if (tag) camera->InsertTag(tag);
  return tag;
}

BaseVideoPost* TestScene::Effect() const {
  for (BaseVideoPost* vp = doc->GetActiveRenderData()->GetFirstVideoPost(); vp; vp = vp->GetNext())
    if (vp->GetType() == kEffectType) return vp;
  return nullptr;
}

Int32 TestScene::EffectCount() const {
  Int32 count = 0;
  for (BaseVideoPost* vp = doc->GetActiveRenderData()->GetFirstVideoPost(); vp; vp = vp->GetNext())
    count += vp->GetType() == kEffectType;
  return count;
}

bool ConsoleHas(const std::string& text) {
  for (const std::string& line : console::Lines())
    if (line.find(text) != std::string::npos) return true;
  return false;
}

bool SamePixels(const BaseBitmap& a, const BaseBitmap& b) {
  if (a.GetBw() != b.GetBw() || a.GetBh() != b.GetBh()) return false;
  for (Int32 y = 0; y < a.GetBh(); ++y)
    for (Int32 x = 0; x < a.GetBw(); ++x)
      if (!(a.GetPixelFloat(x, y) == b.GetPixelFloat(x, y))) return false;
  return true;
}
