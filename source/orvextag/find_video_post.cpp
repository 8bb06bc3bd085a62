#include "orvextag/orvextag.h"
#include "settings/plugin_ids.h"

namespace {
BaseDocument* DocumentFor(BaseTag* tag, BaseDocument* doc) {
  if (doc) return doc;
  BaseDocument* own = tag ? tag->GetDocument() : nullptr;
  return own ? own : GetActiveDocument();
}
}  // namespace

BaseVideoPost* FindVideoPost(BaseTag* tag, BaseDocument* doc, Bool create) {
  doc = DocumentFor(tag, doc);
  RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  if (!renderData) return nullptr;
  for (BaseVideoPost* effect = renderData->GetFirstVideoPost(); effect; effect = effect->GetNext())
    if (effect->GetType() == ID_ORVEX360CAMVP) return effect;
  if (!create) return nullptr;
  BaseVideoPost* effect = BaseVideoPost::Alloc(ID_ORVEX360CAMVP);
  if (effect) renderData->InsertVideoPost(effect, nullptr);
  return effect;
}
