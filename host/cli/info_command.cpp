#include "cli_context.h"
#include "image/image_facts.h"
#include "option_checks.h"
#include "video/video_input.h"
#include "video_info.h"

#include <cstdio>

namespace {

struct InfoArguments {
  std::string file;
  bool verify = false;
};

void PrintFacts(const std::string& path, const ImageFacts& facts) {
  std::printf("%s: %s, %d x %d, %d channels\n", path.c_str(), facts.format.c_str(), facts.width, facts.height,
              facts.channels);
  if (!facts.date.empty()) std::printf("  DateTime = %s\n", facts.date.c_str());
  for (const MetadataProperty& property : facts.metadata.properties)
    std::printf("  %s:%s = %s\n", property.vocabulary.c_str(), property.name.c_str(), property.value.c_str());
  if (facts.metadata.properties.empty()) std::printf("  no spherical or projection metadata\n");
}

int RunInfo(const InfoArguments& arguments) {
  std::string error;
  // What the file holds decides, not its name: a PNG named .mp4 is an image.
  if (video_input::IsVideoFile(arguments.file))
    return arguments.verify ? VerifyVideo(arguments.file) : PrintVideoInfo(arguments.file);
  if (arguments.verify) {
    if (!VerifyImageComplete(arguments.file, error)) {
      std::fprintf(stderr, "orvex360: %s\n", error.c_str());
      return 1;
    }
    std::printf("%s: complete\n", arguments.file.c_str());
    return 0;
  }
  ImageFacts facts;
  if (!ReadImageFacts(arguments.file, facts, error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  PrintFacts(arguments.file, facts);
  return 0;
}

}  // namespace

CliCommand AddInfoCommand(CLI::App& parent) {
  CLI::App* info = parent.add_subcommand(
      "info", "Print what an image or video file says: size, format, spherical metadata");
  auto arguments = std::make_shared<InfoArguments>();
  info->add_option("file", arguments->file, "Image file (.png .exr .jpg .tif) or video (.mp4 .mkv)")
      ->required()
      ->check(NotEmpty());
  info->add_flag(
      "--verify", arguments->verify,
      "Only check that the file is complete (every pixel, or every frame of a video, decodes); exit "
      "0 when it is");
  return {info, [arguments](CliContext&) { return RunInfo(*arguments); }, false};
}
