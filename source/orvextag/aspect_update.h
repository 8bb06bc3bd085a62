#pragma once

#include "c4d.h"

// Recomputes the tag's vertical span, output aspects and their labels from the tag, the effect and
// the render settings. Changes nothing when no effect can be had.
void UpdateAspect(BaseTag* tag);

// Asks whether the render size should follow the output aspect, and sets it on yes. `buttonId`
// says which side changes: ORVEXTAG_FIT_HEIGHT keeps the width, ORVEXTAG_FIT_WIDTH the height.
void FitResolution(BaseTag* tag, Int32 buttonId);
