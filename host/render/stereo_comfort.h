#pragma once

#include "c4d.h"
#include "primary_hits.h"

#include <string>
#include <vector>

// The comfort limit of angular disparity: about one degree, crossed or uncrossed, relative to the
// zero-parallax distance ("the one-degree rule" of stereoscopic production; Lambooij, IJsselsteijn,
// Fortuin and Heynderickx, "Visual discomfort and visual fatigue of stereoscopic displays: a review",
// Journal of Imaging Science and Technology 53(3), 2009).
inline constexpr Float kComfortLimitDegrees = 1.0;

// The stereo rig of a render as the camera's tag sets it up (module_reading/comfort_rig.h reads it).
// Where the eyes are is not worked out here: it is where the module's lens starts each eye's rays.
struct ComfortRig {
  Float separation = 0.0;    // the tag's settings, as the report names them
  Float zeroParallax = 0.0;  // 0: the eyes do not converge
  Int32 rigMode = 0;
  Matrix camera;  // the tagged camera's global matrix at the frame
  // The parts of the frame that are camera 0's eye and the other eye's: "whole", or the half of a
  // side-by-side pair ("left", "right", "top", "bottom"); rays beyond (a lens traces a margin) are
  // left out.
  std::string area = "whole";
  std::string otherArea = "whole";
  // A cubemap's faces are cameras of their own: camera 0's eye is cameras 0 to facesPerEye - 1, the
  // other eye's the next facesPerEye, each in one cell of a grid of gridColumns x gridRows over its
  // eye's part of the frame.
  Int32 facesPerEye = 1;
  Int32 gridColumns = 1;
  Int32 gridRows = 1;
};

// Per pixel of one eye's camera image: the angular disparity in degrees (positive: crossed, in front
// of the zero-parallax distance; NaN: no ray), the distance of the hit from the rig (+infinity:
// nothing hit) and the view direction in the camera's frame.
struct DisparityPixel {
  Float32 degrees = 0.0f;
  Float32 distance = 0.0f;
  Float32 yawDegrees = 0.0f;    // positive right
  Float32 pitchDegrees = 0.0f;  // positive up
};

struct DisparityMap {
  Int32 width = 0;
  Int32 height = 0;
  std::vector<DisparityPixel> pixels;
  const DisparityPixel& At(Int32 x, Int32 y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The disparity of every primary hit of the eye camera 0 renders: the angle between the two eyes'
// lines of sight to the hit, less that angle where the two eyes' rays through the pixel cross (the
// zero-parallax point; none when they run parallel or apart). `other` holds the other eye's rays,
// each at the pixel of `hits` that shows the same direction; the eyes are where the two rays start.
// Rays that hit nothing look at infinity.
void MeasureDisparity(const PrimaryHits& hits, const PrimaryHits& other, const ComfortRig& rig,
                      DisparityMap& map);

struct ComfortDirection {
  Float yawDegrees = 0.0;
  Float pitchDegrees = 0.0;
  Float disparityDegrees = 0.0;  // the largest in that direction, signed
  Float beyondShare = 0.0;       // of that direction's pixels beyond the limit
};

struct ComfortSummary {
  long long pixels = 0;  // with a ray
  long long crossedBeyond = 0;
  long long uncrossedBeyond = 0;
  Float maxCrossedDegrees = 0.0;
  Float maxUncrossedDegrees = 0.0;  // the most negative disparity, as a negative number
  bool hasNearest = false;
  DisparityPixel nearest;
  std::vector<ComfortDirection> worst;  // at most five cells of 15 x 15 degrees, worst first
};

ComfortSummary SummarizeComfort(const DisparityMap& map, Float limitDegrees = kComfortLimitDegrees);
