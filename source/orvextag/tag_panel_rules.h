#pragma once

#include "c4d_math.h"

// Which elements of the tag's panel show and take input, from plain facts about the tag, the
// effect and the render settings.
struct TagPanelFacts {
  Int32 projection = 0;
  bool effectExists = false;
  bool effectSwitchedOff = false;
  bool enabled = true;  // the tag's master switch
  bool stereo = false;  // the render settings' stereo switch
  bool customSpan = false;
  Int32 zeroParallaxMode = 1;
  bool preferredDirection = true;
  bool separationMap = false;
  Float aspect = 0.0;
  Float stereoAspect = 0.0;
  bool linkedToggle = false;  // the effect's switch, or the tag's own copy without the effect
};

// True for the elements the panel leaves out for these facts.
bool IsTagElementHidden(Int32 id, const TagPanelFacts& facts);

// True for the elements that take input for these facts.
bool IsTagElementEnabled(Int32 id, const TagPanelFacts& facts);

// The panorama's latitude range after an edit of one end (`editedId`), kept ordered and inside
// [-pi/2, pi/2]: the edited end moves back to one degree from the other, and where the limit leaves
// no room for that, the other end moves instead.
struct LatitudeRange {
  Float min = 0.0;
  Float max = 0.0;
};
LatitudeRange KeepLatitudesOrdered(LatitudeRange range, Int32 editedId);
