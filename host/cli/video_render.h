#pragma once

#include "c4d.h"
#include "image/image_metadata.h"
#include "render/renderer.h"
#include "video/video_output.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <string>

// The video options of `orvex360 render` (for .mp4 and .mkv output).
struct VideoOptions {
  std::string codec = video_output::kDefaultCodecName;  // one of video_output::kCodecNames
  int quality = video_output::kDefaultQuality;          // constant rate factor
};

// Adds the options to the render command; they fill `options` while the command line is parsed.
void AddVideoOptions(CLI::App& render, const std::shared_ptr<VideoOptions>& options);

// The video options given on `render`'s command line ("--video-codec, --video-quality"); empty when
// none was, so that a render to images can say they change nothing.
std::string GivenVideoOptions(const CLI::App& render);

// "orvex360: wrote /abs/film.mp4 (H.264, 3840 x 1920, 91 frames at 30 fps)": what every video written says.
std::string VideoWrittenLine(const std::string& path, const video_output::VideoFormat& format, Int32 frames);

// A render's frames encoded into one video file as they finish: opened before the first frame
// (size, frame rate and spherical description from the document's render settings and the output
// metadata), completed and put in place after the last. Dropped unfinished, it leaves no file.
class VideoRender {
 public:
  // Prints what players will not see as the render meant it. False with `error` before any frame.
  bool Open(const std::string& path, const VideoOptions& options, BaseDocument* doc,
            const ImageMetadata& metadata, std::string& error);
  bool IsOpen() const { return !path_.empty(); }
  FrameSink Sink();
  // Completes the file and says where it went.
  bool Finish(std::string& error);

 private:
  VideoWriter writer_;
  std::string path_;
  video_output::VideoFormat format_;
};
