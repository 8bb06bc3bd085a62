#include "document_animation.h"

#include "node_record.h"

void AddDocumentAnimation(BaseDocument& doc, std::shared_ptr<DocumentAnimation> animation) {
  if (animation) doc.GetRecord().document->animations.push_back(std::move(animation));
}

bool HasDocumentAnimation(const BaseDocument& doc) { return !doc.GetRecord().document->animations.empty(); }

void ApplyDocumentAnimations(BaseDocument& doc, const BaseTime& time) {
  for (const auto& animation : doc.GetRecord().document->animations) animation->Apply(doc, time);
}

void SetDocumentTimeRange(BaseDocument& doc, const BaseTime& min, const BaseTime& max) {
  doc.GetDataInstance()->SetTime(DOCUMENT_MINTIME, min);
  doc.GetDataInstance()->SetTime(DOCUMENT_MAXTIME, max);
}
