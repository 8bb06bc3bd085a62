#include "video_render.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

std::vector<std::string> CodecNameList() {
  std::vector<std::string> names;
  for (const video_output::CodecName& known : video_output::kCodecNames) names.push_back(known.name);
  return names;
}

}  // namespace

void AddVideoOptions(CLI::App& render, const std::shared_ptr<VideoOptions>& options) {
  render
      .add_option("--video-codec", options->codec,
                  "Video codec of .mp4 and .mkv output: h264 (players everywhere) or hevc (smaller files)")
      ->check(CLI::IsMember(CodecNameList(), CLI::ignore_case))
      ->capture_default_str();
  render
      .add_option("--video-quality", options->quality,
                  "Video quality as the encoder's constant rate factor: 0 (lossless) to 51 (worst)")
      ->check(CLI::Range(video_output::kLosslessQuality, video_output::kWorstQuality))
      ->capture_default_str();
}

std::string GivenVideoOptions(const CLI::App& render) {
  std::string given;
  for (const char* option : {"--video-codec", "--video-quality"})
    if (render.count(option) > 0) given += (given.empty() ? "" : ", ") + std::string(option);
  return given;
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
  if (!video_output::CodecNamed(options.codec, format_.codec)) {
    error = "--video-codec takes " + video_output::CodecNames() + ", not \"" + options.codec + "\"";
    return false;
  }
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

std::string VideoWrittenLine(const std::string& path, const video_output::VideoFormat& format, Int32 frames) {
  char text[128];
  std::snprintf(text, sizeof(text), " (%s, %d x %d, %d frames at %g fps)",
                format.codec == video_codec::Codec::Hevc ? "HEVC" : "H.264", format.width, format.height,
                frames, format.framesPerSecond);
  return "orvex360: wrote " + std::filesystem::absolute(path).string() + text;
}

bool VideoRender::Finish(std::string& error) {
  if (!writer_.Finish(error)) return false;
  std::printf("%s\n", VideoWrittenLine(path_, format_, writer_.FramesWritten()).c_str());
  return true;
}
