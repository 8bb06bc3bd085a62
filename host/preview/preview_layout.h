#pragma once

#include "image/image_metadata.h"

#include <string>
#include <vector>

// How a render maps the sphere, as the preview page needs it: read from the image's metadata,
// else from the command line, else guessed from the file name.
struct PreviewCell {
  int face = -1;  // 0 left, 1 right, 2 down, 3 up, 4 back, 5 front
  int column = 0;
  int row = 0;
  int rotation = 0;  // degrees the face is turned in its cell
};

struct PreviewLayout {
  std::string projection;  // "equirectangular", "dome", "fisheye" or "cubemap"
  double fovDegrees = 180.0;
  // Equirectangular: the full panorama and where one eye's image sits in it, in pixels.
  long long fullWidth = 0, fullHeight = 0, cropLeft = 0, cropTop = 0, cropWidth = 0, cropHeight = 0;
  std::string stereo = "mono";                       // "mono", "side-by-side", "anaglyph" or "single-eye"
  std::string leftEye = "left", rightEye = "right";  // halves of a side-by-side pair
  int columns = 0, rows = 0;                         // cubemap grid
  std::vector<PreviewCell> cells;
};

// What the command line says where the file says nothing; empty strings: not given.
struct PreviewHints {
  std::string projection;    // as above, or "panorama" for "equirectangular"
  double fovDegrees = 0.0;   // 0: not given
  std::string stereo;        // "mono", "side-by-side", "anaglyph"
  std::string stereoLayout;  // "left-right" or "top-bottom"
  std::string cubeLayout;    // a cubemap layout word ("grid-3x2", ...)
  std::string cubeFaces;     // that layout's faces as the module lays them out ("-,up/left,front,..."),
                             // which the command asks the module for
};

// The layout of an image of `width` x `height` pixels from its metadata, the hints and its file
// name, in that order. False with `error` when the projection is unknown or one the page cannot show.
bool DescribePreview(const ImageMetadata& metadata, const PreviewHints& hints, const std::string& fileName,
                     int width, int height, PreviewLayout& layout, std::string& error);

// "left,right,up/down,front,back" with ":90" after turned faces into cells; false when malformed.
bool ParseCubemapFaces(const std::string& text, PreviewLayout& layout);
