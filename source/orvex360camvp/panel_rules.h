#pragma once

#include "c4d.h"

// The rules of the effect's panel: which elements show, which groups open and which elements take
// input, all read from the effect's container and the render camera's tag container.

// Hides the elements the current stereo mode and cube layout do not use, and preview rows beyond
// the layout grid's `gridRows`.
void ApplyVisibilityRules(Description& description, const BaseContainer& effectData, Int32 gridRows);

// Opens the group of the tag's projection (fulldome or cubemap) and the stereo group while the
// render settings render stereo; folds them otherwise.
void ApplyFoldRules(Description& description, const BaseContainer& tagData, Bool stereoRender);

// False when the current settings leave the element without effect; `tagData` may be null.
Bool IsEffectElementEnabled(Int32 id, const BaseContainer& effectData, const BaseContainer* tagData);
