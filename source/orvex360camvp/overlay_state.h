#pragma once

#include "c4d.h"
#include "geometry/render_area.h"

#include <memory>
#include <string>

// Frees a bitmap the effect owns.
struct OverlayBitmapFree {
  void operator()(BaseBitmap* bitmap) const { BaseBitmap::Free(bitmap); }
};
using OverlayBitmap = std::unique_ptr<BaseBitmap, OverlayBitmapFree>;

// The fulldome overlays of the render in progress: settings read at sequence start, the dome and
// its corner squares placed at each camera start. The bitmaps stay from render to render.
struct OverlayState {
  Int32 overlayOn = 0;
  Int32 showFrameNumber = 0;
  Int32 showTimecode = 0;
  Int32 showInfo = 0;
  Int32 showCustomText = 0;
  Int32 logoMode = 2;  // 0 built-in logo with title, 1 logo file, 2 none
  String customText;
  Float textSize = 1.0;  // percent of the dome diameter
  OverlayBitmap logoBitmap;
  OverlayBitmap maskBitmap;
  Filename documentName;
  Float fps = 0.0;
  Int32 documentFps = 0;  // the rate frames are counted in when the render's is unusable
  BaseTime docMinTime;
  BaseTime docMaxTime;
  // The date the information block prints, taken once per sequence so every camera (both eyes of
  // a stereo pair) prints the same.
  std::string dateText;

  Float domeDiameter = 0.0;
  Float domeRadius = 0.0;
  Float cornerSize = 0.0;
  orvex::RenderArea cornerTopLeft;
  orvex::RenderArea cornerTopRight;
  orvex::RenderArea cornerBottomLeft;
  orvex::RenderArea cornerBottomRight;

  Bool textCutReported = false;  // "text cut" is said once per sequence
};
