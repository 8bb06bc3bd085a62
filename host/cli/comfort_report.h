#pragma once

#include "comfort_shot.h"
#include "render/renderer.h"
#include "render/stereo_comfort.h"

#include <memory>
#include <string>

// The stereo comfort report of a render (`orvex360 render --comfort REPORT.json`): for each frame
// the disparity of every pixel of camera 0 from the primary rays of both eyes, written as JSON and
// as a heat map PNG beside it (REPORT.png), and one console line; renders without stereo get a
// report and a line saying "no stereo". A sequence's frames get their reports and heat maps, and the
// shot one summary (ShotPath) and one console line instead of a line per frame.
class ComfortReporter {
 public:
  // Frame reports are numbered as the images written to `images` (a name with "#" runs or not).
  ComfortReporter(std::string path, std::string images, bool numbered)
      : path_(std::move(path)), images_(std::move(images)), numbered_(numbered) {}

  // Checks the report's path and, for a stereo render, asks the render for the primary hits;
  // writes nothing. False with `error`.
  bool Prepare(BaseDocument* doc, BaseObject* camera, RenderOptions& options, std::string& error);
  // After Prepare, when the render begins: a render without stereo gets its "no stereo" report.
  bool Start(std::string& error);
  // The report and the heat map written for `frame` (the heat map empty without stereo).
  std::string ReportPath(Int32 frame) const;
  std::string HeatMapPathAt(Int32 frame) const;
  // Where a stereo sequence's shot summary goes: the report's path, its "#" run (if any) replaced by
  // "shot"; empty for one frame or no stereo.
  std::string ShotPath() const;
  // After the last frame: writes the shot summary and prints its line (a failure goes to Failure()).
  void Finish();
  // The first failure while writing a frame's report; empty when every report was written.
  const std::string& Failure() const { return failure_; }

 private:
  // Reports the two eyes gathered for `frame`.
  void Report(Int32 frame);
  // Keeps a camera's rays: camera 0's eye (its faces, for a cubemap, gathered into one frame with its
  // image) and the other eye's, moved onto the first eye's part of the frame.
  void Gather(Int32 frame, Int32 camera, const FloatImage& image, const PrimaryHits& hits);

  std::string path_;
  std::string images_;
  bool numbered_ = false;
  BaseObject* camera_ = nullptr;
  std::string noStereo_;  // why the render has no stereo; empty for a stereo render
  std::string failure_;
  ComfortRig rig_;
  FloatImage eyeImage_;
  PrimaryHits eyeHits_[2];
  ComfortShot shot_;
};
