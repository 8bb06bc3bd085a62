#include "cli_context.h"
#include "frame_files.h"
#include "image/image_output.h"
#include "option_checks.h"
#include "option_values.h"
#include "video/video_output.h"
#include "video_render.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

// `orvex360 encode FRAMES -o VIDEO`: frames rendered before (by render or farm) made into one 360
// video with the spherical description their own metadata gives, as render -o film.mp4 would have.
namespace {

struct EncodeArguments {
  std::string frames;  // the pattern, "#" marking the frame number
  std::string output;
  std::string range;  // --frames; empty: every frame the folder holds
  double fps = 0.0;   // 0: the frames' own rate
  std::shared_ptr<VideoOptions> video = std::make_shared<VideoOptions>();
};

constexpr double kDefaultFramesPerSecond = 30.0;

bool Fail(const std::string& message) {
  std::fprintf(stderr, "orvex360: encode: %s\n", message.c_str());
  return false;
}

bool FrameRange(const EncodeArguments& arguments, Int32& first, Int32& last) {
  std::string error;
  if (arguments.range.empty())
    return frame_files::FindRange(arguments.frames, first, last, error) || Fail(error);
  const std::optional<option_values::Frames> frames = option_values::FramesOf(arguments.range);
  if (!frames || !frames->first) return Fail("--frames takes a frame (5) or a range FIRST-LAST (0-99)");
  first = *frames->first;
  last = *frames->last;
  return true;
}

// The rate the frames say they were rendered at, unless --fps says otherwise.
double FramesPerSecond(const EncodeArguments& arguments, const ImageMetadata& metadata) {
  if (arguments.fps > 0.0) return arguments.fps;
  const MetadataProperty* rate = metadata.Find("orvex360", "FramesPerSecond");
  const double fps = rate ? std::strtod(rate->value.c_str(), nullptr) : 0.0;
  return std::isfinite(fps) && fps > 0.0 ? fps : kDefaultFramesPerSecond;
}

bool Open(const EncodeArguments& arguments, const FloatImage& image, const ImageMetadata& metadata,
          VideoWriter& writer, video_output::VideoFormat& format) {
  format = {video_codec::Codec::H264, arguments.video->quality, image.width, image.height,
            FramesPerSecond(arguments, metadata)};
  std::string error;
  if (!video_output::CodecNamed(arguments.video->codec, format.codec))
    return Fail("--video-codec takes " + video_output::CodecNames());
  std::vector<std::string> notes;
  if (!writer.Open(arguments.output, format, metadata, notes, error)) return Fail(error);
  for (const std::string& note : notes) std::fprintf(stderr, "orvex360: %s\n", note.c_str());
  return true;
}

int RunEncode(const EncodeArguments& arguments) {
  std::string error;
  if (!video_output::CheckWritable(arguments.output, error)) return Fail(error), 1;
  Int32 first = 0;
  Int32 last = 0;
  if (!FrameRange(arguments, first, last)) return 1;
  VideoWriter writer;
  video_output::VideoFormat format;
  ImageMetadata described;
  FloatImage image;
  for (Int32 frame = first; frame <= last; ++frame) {
    const std::string path = image_output::FramePath(arguments.frames, frame, true);
    ImageMetadata metadata;
    if (!frame_files::Read(path, image, metadata, error)) return Fail(error), 1;
    if (frame == first) {
      described = metadata;
      if (!Open(arguments, image, metadata, writer, format)) return 1;
    } else if (!frame_files::SamePicture(described, metadata)) {
      return Fail(path + " describes another picture than the first frame (projection, size or stereo)"), 1;
    }
    if (!writer.Write(image, error)) return Fail(error), 1;
  }
  if (!writer.Finish(error)) return Fail(error), 1;
  std::printf("%s\n", VideoWrittenLine(arguments.output, format, writer.FramesWritten()).c_str());
  return 0;
}

}  // namespace

CliCommand AddEncodeCommand(CLI::App& parent) {
  CLI::App* encode = parent.add_subcommand(
      "encode", "Make rendered frames into one 360 video, with the spherical metadata the frames carry");
  auto arguments = std::make_shared<EncodeArguments>();
  encode->add_option("frames", arguments->frames, "The frames, \"#\" marking the number: frame_####.png")
      ->required()
      ->check(NotEmpty());
  encode->add_option("-o,--output", arguments->output, "The video (.mp4 .mkv)")
      ->required()
      ->check(NotEmpty());
  encode
      ->add_option("--frames", arguments->range,
                   "Frame (5) or range FIRST-LAST (default: every frame there is, none missing between)")
      ->check(option_values::FrameSpan());
  encode->add_option("--fps", arguments->fps, "Frame rate (default: the frames' own, else 30)")
      ->check(CLI::Range(0.001, 1000.0));
  AddVideoOptions(*encode, arguments->video);
  return {encode, [arguments](CliContext&) { return RunEncode(*arguments); }, false};
}
