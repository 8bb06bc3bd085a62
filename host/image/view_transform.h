#pragma once

#include "c4d.h"
#include "float_image.h"

#include <optional>
#include <string>

// How the renderer's scene-linear light becomes an image: the exposure scales it (in stops, as a
// camera's would), and for outputs made to be looked at (PNG, JPEG, TIFF, video) a view transform
// decides what happens to light brighter than the display's white. EXR keeps the exposed scene-linear
// values.
enum class ViewTransform {
  Standard,  // sRGB as it is: values above 1 clip to white
  Neutral,   // highlights rolled off towards white, base colours kept (Khronos PBR Neutral)
};

// The view transforms by name ("standard", "neutral"), and the name of each.
std::optional<ViewTransform> ViewTransformNamed(const std::string& name);
const char* ViewTransformName(ViewTransform view);

struct FilmResponse {
  Float exposure = 0.0;  // stops: +1 doubles the light
  // Whether the output is display-referred: only then does the view transform apply.
  bool display = true;
  ViewTransform view = ViewTransform::Standard;

  // Whether Apply changes anything; a render at exposure 0 with the standard view writes the light
  // as it is, bit for bit.
  bool IsIdentity() const { return exposure == 0.0 && (!display || view == ViewTransform::Standard); }
  // The linear colour the output encodes for the scene-linear `light`.
  Vector Apply(const Vector& light) const;
};

// Khronos PBR Neutral on a linear colour: unchanged up to a little below white, brighter light
// compressed smoothly towards white and desaturated as it gets there.
Vector PbrNeutral(const Vector& colour);

// The share of the image's covered pixels (alpha above 0) that a display shows blown out to white:
// every colour channel at 1 or above. (A saturated colour with one channel above 1 keeps its hue
// and is not counted.)
Float ClippedShare(const FloatImage& image);
