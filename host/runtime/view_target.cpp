#include "view_target.h"

#include "node_record.h"

namespace {

ViewCanvas& CanvasOf(const BaseDraw* view) { return view->GetRecord().view->canvas; }

}  // namespace

ScopedViewTarget::ScopedViewTarget(BaseDraw* view, const paint::Surface& target) : view_(view) {
  if (!view_) return;
  CanvasOf(view_) = ViewCanvas();
  CanvasOf(view_).target = target;
}

bool ScopedViewTarget::Painted() const { return view_ && CanvasOf(view_).painted; }

ScopedViewTarget::~ScopedViewTarget() {
  if (view_) CanvasOf(view_).target = paint::Surface();
}
