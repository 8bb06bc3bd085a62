#include "orvextag/tag_links.h"

#include "orvextag/orvextag.h"

TagLinks TagLinks::Of(BaseTag* tag) {
  TagLinks links;
  links.tag = tag;
  if (!tag) return links;
  BaseObject* object = tag->GetObject();
  if (object && object->GetType() == Ocamera) links.camera = object;
  links.doc = tag->GetDocument();
  links.renderData = links.doc ? links.doc->GetActiveRenderData() : nullptr;
  if (links.doc) links.effect = FindVideoPost(tag, links.doc, true);
  return links;
}

Bool IsStereoRender(BaseTag* tag) {
  BaseDocument* doc = tag ? tag->GetDocument() : nullptr;
  RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  return renderData && renderData->GetDataInstance()->GetBool(RDATA_STEREO);
}
