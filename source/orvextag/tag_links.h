#pragma once

#include "c4d.h"

// The host objects a tag works with, reached from the tag. Each may be null: a tag outside a
// document, on an object that is not a camera, or in a document without render settings.
struct TagLinks {
  BaseTag* tag = nullptr;
  BaseObject* camera = nullptr;      // the carrying object, only when it is a camera
  BaseDocument* doc = nullptr;       // the tag's own document
  RenderData* renderData = nullptr;  // that document's active render settings
  BaseVideoPost* effect = nullptr;   // the effect in them, inserted when missing

  // Looks everything up in the tag's own document; the effect is created when missing (see
  // FindVideoPost). A tag outside a document reaches nothing, so nothing is mirrored from it.
  static TagLinks Of(BaseTag* tag);

  BaseContainer& TagData() const { return *tag->GetDataInstance(); }
  Bool EffectWorks() const { return effect && !effect->GetBit(BIT_VPDISABLED); }
};

// The render settings' stereo switch in the tag's document; false without render settings.
Bool IsStereoRender(BaseTag* tag);
