#pragma once

#include "c4d.h"

#include <vector>

struct CameraPass;

// Where the primary ray through each pixel centre of one camera image starts, which way it goes and
// how far it travels to the first surface: the depth a host exposes beside the colour, asked for
// only by those who need it (the stereo comfort report).
struct PrimaryHits {
  Int32 width = 0;
  Int32 height = 0;
  std::vector<Float32> origins;     // x, y, z per pixel (world)
  std::vector<Float32> directions;  // unit x, y, z per pixel; zero: the lens gave no ray
  std::vector<Float32> distances;   // to the first hit; +infinity: the ray hit nothing

  bool Allocate(Int32 w, Int32 h);
  bool HasRay(Int32 x, Int32 y) const;
  Vector Origin(Int32 x, Int32 y) const;
  Vector Direction(Int32 x, Int32 y) const;
  Float Distance(Int32 x, Int32 y) const { return distances[Index(x, y)]; }

 private:
  size_t Index(Int32 x, Int32 y) const { return static_cast<size_t>(y) * width + x; }
};

// Bytes the hits of an image of `width` x `height` take.
double PrimaryHitsBytes(Int32 width, Int32 height);

// Traces one primary ray through every pixel centre, the same rays the camera image was rendered
// with (the lens asked while its camera is current), and records where each first hits.
void TracePrimaryHits(const CameraPass& pass, PrimaryHits& hits);
