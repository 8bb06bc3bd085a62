#pragma once

#include "c4d.h"

// Parameters of the host's own shaders. Only the host and its command line set them; the module
// links a shader and samples it. Both shaders read only the texture point p of a sample.

// Image shader (Xbitmap): the image at texture point p, u = p.x and v = p.y (v = 0 is the top row),
// filtered bilinearly between pixel centres. u repeats, so a panorama's left and right edges join;
// v clamps to the top and bottom rows, so the poles never bleed into each other.
enum : Int32 {
  IMAGESHADER_FILE = 1000,  // Filename (or String): the image, absolute or relative to the working folder
};

// Gradient shader (Xgradient): a colour along one texture axis, linear between knots; before the
// first knot and after the last the end colours hold. Without knots it runs from black at 0 to white
// at 1. Red is what a separation map reads, so knots black at 0 and 1 and white at 0.5 fade the eye
// separation out toward both poles.
enum : Int32 {
  GRADIENTSHADER_KNOTS = 1000,  // BaseContainer: knot i is a sub-container at ID i (0, 1, ...)
  GRADIENTSHADER_AXIS = 1001,   // Int32: 0 vertical, along v = p.y (default); 1 horizontal, along u = p.x
  GRADIENTKNOT_POSITION = 1,    // Float inside a knot: its place along the axis, 0..1
  GRADIENTKNOT_COLOR = 2,       // Vector inside a knot: its colour
};

inline constexpr Int32 kGradientAxisVertical = 0;
inline constexpr Int32 kGradientAxisHorizontal = 1;
