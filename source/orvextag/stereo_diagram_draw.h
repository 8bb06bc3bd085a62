#pragma once

#include "c4d.h"

// With stereo on, the stereo set-up around the tagged camera at global matrix `camera`: the head and
// its preferred direction, the zero-parallax distance and one marker per eye where the rig puts it.
// Changes nothing in the document and no render state (a render may be running).
void DrawStereoDiagram(BaseTag* tag, BaseObject* object, BaseDraw* view, const Matrix& camera);
