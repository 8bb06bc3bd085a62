#include "video_render.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

void AddVideoOptions(CLI::App& render, const std::shared_ptr<VideoOptions>& options) {
  render
      .add_option("--video-codec", options->codec,
                  "Video codec of .mp4 and .mkv output: h264 (players everywhere) or hevc (smaller files)")
      ->check(CLI::IsMember({"h264", "hevc"}, CLI::ignore_case))
      ->capture_default_str();
  render
      .add_option("--video-quality", options->quality,
                  "Video quality as the encoder's constant rate factor: 0 (lossless) to 51 (worst)")
      ->check(CLI::Range(0, 51))
      ->capture_default_str();
}

bool VideoRender::Open(const std::string& path, const VideoOptions& options, BaseDocument* doc,
                       const ImageMetadata& metadata, std::string& error) {
  const BaseContainer& settings = *doc->GetActiveRenderData()->GetDataInstance();
  if (!ReadResolution(settings, format_.width, format_.height, error)) return false;
  format_.framesPerSecond = settings.GetFloat(RDATA_FRAMERATE);
  if (!std::isfinite(format_.framesPerSecond) || format_.framesPerSecond <= 0.0) {
    error = "a video needs a frame rate above 0 (--set fps=25)";
    return false;
  }
  format_.codec = options.codec == "hevc" ? video_codec::Codec::Hevc : video_codec::Codec::H264;
  format_.quality = options.quality;
  std::vector<std::string> notes;
  if (!writer_.Open(path, format_, metadata, notes, error)) return false;
  for (const std::string& note : notes) std::fprintf(stderr, "orvex360: %s\n", note.c_str());
  path_ = path;
  return true;
}

FrameSink VideoRender::Sink() {
  return [this](const FloatImage& image, Int32, std::string& error) { return writer_.Write(image, error); };
}

bool VideoRender::Finish(std::string& error) {
  if (!writer_.Finish(error)) return false;
  std::printf("orvex360: wrote %s (%s, %d x %d, %d frames at %g fps)\n",
              std::filesystem::absolute(path_).c_str(),
              format_.codec == video_codec::Codec::Hevc ? "HEVC" : "H.264", format_.width, format_.height,
              writer_.FramesWritten(), format_.framesPerSecond);
  return true;
}
