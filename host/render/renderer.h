#pragma once

#include "c4d.h"
#include "image/float_image.h"
#include "image/view_transform.h"
#include "primary_hits.h"

#include <functional>
#include <string>

// How a document is rendered; the image size, frame rate and stereo switch come from its active
// render settings (5008, 5009, 5020, 8000).
struct RenderOptions {
  Bool editor = false;  // a preview into the editor view instead of an external render
  Int32 firstFrame = 0;
  Int32 lastFrame = 0;
  Int32 samples = 1;        // per pixel
  std::string environment;  // equirectangular image around the scene; empty: a procedural sky
  bool progress = false;    // draw a progress bar on the terminal
  bool frameLines = false;  // a line per finished frame of a sequence (where no bar shows: a log)
  Int32 threads = 0;        // render threads at most; 0: one per core
  Int32 bounces = 0;        // times light is followed from surface to surface
  FilmResponse film;        // exposure and view transform
  // Asked for the depth of the primary hits: called after each camera image with the frame, the
  // camera's index, its image and its hits. Empty: no depth is traced.
  std::function<void(Int32 frame, Int32 camera, const FloatImage& image, const PrimaryHits& hits)>
      primaryHits;
  Int32 primaryHitsCamera = -1;  // the one camera whose hits are traced; -1: every camera
};

// Receives every finished frame; returning false (with `error`) stops the render.
using FrameSink = std::function<bool(const FloatImage& image, Int32 frame, std::string& error)>;

// Renders the frames with the host's call sequence: render notification, the effects' render start
// and render info, the sequence, frame and camera phases around each camera image, and the
// closing phases. Bad settings, an unreadable environment image or an image too large for memory
// fail with one clear `error` before any effect is called.
bool RenderDocument(BaseDocument* doc, const RenderOptions& options, const FrameSink& sink,
                    std::string& error);

// Every check RenderDocument makes before it loads or draws anything, without rendering: the thread
// count, the render settings and options, the memory of a frame (and of the primary hits when asked
// for) and the environment image's header. False with the `error` the render would give.
bool CheckRender(BaseDocument* doc, const RenderOptions& options, std::string& error);

// Image size of render settings in whole pixels; false with `error` unless both are at least 1.
bool ReadResolution(const BaseContainer& settings, Int32& width, Int32& height, std::string& error);

// The most render threads a render takes: a few per core.
Int32 MaxRenderThreads();

// The most samples per pixel a render takes.
inline constexpr Int32 kMaxSamples = 4096;
// The most bounces a render follows: past this a path carries nothing a pixel shows.
inline constexpr Int32 kMaxBounces = 64;
// The widest exposure a render takes, in stops either way.
inline constexpr Float kMaxExposureStops = 32.0;
