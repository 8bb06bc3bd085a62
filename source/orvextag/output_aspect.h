#pragma once

#include "c4d_math.h"

#include <optional>
#include <string>

// The output aspect of the tag's settings and the resolution fit, free of the host: inputs are
// plain values read from the tag, the effect and the render settings.

struct AspectInputs {
  Int32 projection = 0;
  bool custom = false;
  Float hspan = 0.0;
  Float latMin = 0.0;
  Float latMax = 0.0;
  Float cylRadius = 0.0;
  Float cylHeight = 0.0;
  Float cylHfov = 0.0;
  bool effectOn = false;
  Int32 cubeLayout = 0;
  bool stereo = false;  // the render settings' stereo switch
  Int32 stereoMode = 0;
  Int32 sideLayout = 0;
};

struct AspectResult {
  Float vspan = 0.0;       // shown vertical span of the panorama
  Float mono = 0.0;        // one eye's image; 0 when the settings give no aspect
  Float stereo = 0.0;      // the final stereo frame; 0 while stereo is off
  std::string monoText;    // ratio and suffix joined by one blank; empty when `mono` is 0
  std::string stereoText;  // the same for `stereo`
};

AspectResult ComputeAspect(const AspectInputs& inputs);

// Which side of the render size a fit keeps.
enum class FitKeeps { Width, Height };

// The render size a fit writes: the kept side unchanged, the other from `target` (halves round away
// from zero). Empty when the target is not a finite positive number or the size would fall outside
// 1..65536 pixels.
struct RenderSize {
  Float width = 0.0;
  Float height = 0.0;
  bool operator==(const RenderSize&) const = default;
};
std::optional<RenderSize> FitRenderSize(RenderSize current, Float target, FitKeeps keeps);
