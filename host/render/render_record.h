#pragma once

#include "c4d.h"
#include "image/float_image.h"

// What the host keeps about a running render: the settings the effects see (written-back settings
// apply to the rest of the render) and the image of the camera being rendered.
struct RenderRecord {
  BaseContainer settings;
  FloatImage* image = nullptr;
};

// The host's buffer over a float image.
class HostVPBuffer final : public VPBuffer {
 public:
  FloatImage* image = nullptr;
  bool written = false;  // whether SetLine wrote into the image since this was last set false
};

// The host's running render as the effects see it.
class HostRender final : public Render {
 public:
  explicit HostRender(const BaseContainer& settings) { record.settings = settings; }

  RenderRecord record;
  HostVPBuffer rgbaBuffer;
};
