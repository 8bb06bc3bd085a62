#pragma once

#include "c4d.h"

#include <memory>

// Something that moves a document's objects over time (an imported scene's animation). The
// document applies each one when the scene is evaluated with animation on, before the expressions
// run, so tags read the animated placement.
class DocumentAnimation {
 public:
  virtual ~DocumentAnimation() = default;
  virtual void Apply(BaseDocument& doc, const BaseTime& time) = 0;
};

void AddDocumentAnimation(BaseDocument& doc, std::shared_ptr<DocumentAnimation> animation);
bool HasDocumentAnimation(const BaseDocument& doc);
void ApplyDocumentAnimations(BaseDocument& doc, const BaseTime& time);

// Sets the document's time range (the range `--frames all` renders).
void SetDocumentTimeRange(BaseDocument& doc, const BaseTime& min, const BaseTime& max);
