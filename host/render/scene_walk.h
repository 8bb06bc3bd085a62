#pragma once

#include "c4d.h"

#include <functional>

// Calls `visit` for every object of the document that renders, depth first (children before the
// next sibling). An object switched off for rendering hides its children, unless a child switches
// itself on again.
void ForEachRenderedObject(BaseDocument* doc, const std::function<void(BaseObject&)>& visit);

// The camera a plain render looks through: the view's scene camera, else the first camera object;
// null when the document has none.
BaseObject* FindRenderCamera(BaseDocument* doc);
