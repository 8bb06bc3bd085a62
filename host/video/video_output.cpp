#include "video_output.h"

#include "base/parallel_for.h"
#include "image/png_writer.h"
#include "image/srgb.h"
#include "video_spherical.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace video_output {
namespace {

std::string Suffix(const std::string& path) {
  std::string suffix = fs::path(path).extension().string();
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return suffix;
}

}  // namespace

bool CodecNamed(const std::string& name, video_codec::Codec& codec) {
  std::string lowered = name;
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  for (const CodecName& known : kCodecNames)
    if (lowered == known.name) {
      codec = known.codec;
      return true;
    }
  return false;
}

std::string CodecNames() {
  std::string names;
  for (const CodecName& known : kCodecNames) names += (names.empty() ? "" : ", ") + std::string(known.name);
  return names;
}

bool IsVideoPath(const std::string& path) {
  const std::string suffix = Suffix(path);
  return suffix == ".mp4" || suffix == ".mkv";
}

video_codec::Container ContainerOf(const std::string& path) {
  return Suffix(path) == ".mkv" ? video_codec::Container::Matroska : video_codec::Container::Mp4;
}

bool CheckWritable(const std::string& path, std::string& error) {
  if (!IsVideoPath(path)) {
    error = "cannot write \"" + path + "\": a video's name must end in " + std::string(kSuffixes);
    return false;
  }
  if (fs::path(path).filename().string().find('#') != std::string::npos) {
    error = "cannot write \"" + path +
            "\": a video holds every frame in one file; \"#\" marks the frame number "
            "only in the names of image sequences";
    return false;
  }
  if (!atomic_file::CheckTarget(path, error)) return false;
  if (std::string reason; !video_codec::Load(reason)) {
    error = "cannot write \"" + path + "\": " + reason;
    return false;
  }
  return true;
}

}  // namespace video_output

namespace {

// 4:2:0 keeps one colour sample per 2 x 2 pixels, so both sides must be even. Padding would add a
// row or column that is no part of the projection (a seam in a panorama), so odd sizes are refused.
bool CheckEvenSize(const video_output::VideoFormat& format, std::string& error) {
  if (format.width % 2 == 0 && format.height % 2 == 0) return true;
  error = "a video needs an even width and height (4:2:0 colour), not " + std::to_string(format.width) +
          " x " + std::to_string(format.height) + ": render at " +
          std::to_string(format.width + format.width % 2) + "x" +
          std::to_string(format.height + format.height % 2) + " (-s) or to images";
  return false;
}

// Colour over black (the video keeps no alpha), display-encoded as the 8-bit image files are.
void DisplayRgb(const FloatImage& image, std::vector<unsigned char>& rgb) {
  const srgb::ByteEncoder& encode = srgb::ByteEncoder::Get();
  parallel::For(Int32{0}, image.height, [&](const tbb::blocked_range<Int32>& rows) {
    for (Int32 y = rows.begin(); y != rows.end(); ++y) {
      const Float32* source = image.Row(y);
      unsigned char* row = rgb.data() + static_cast<size_t>(y) * image.width * 3;
      for (Int32 x = 0; x < image.width; ++x, source += FloatImage::kChannels, row += 3)
        for (int c = 0; c < 3; ++c) row[c] = png_codec::UnitToByte(encode(source[c]));
    }
  });
}

}  // namespace

VideoWriter::~VideoWriter() {
  if (encoder_) table_->close(encoder_);
}

bool VideoWriter::Open(const std::string& path, const video_output::VideoFormat& format,
                       const ImageMetadata& metadata, std::vector<std::string>& notes, std::string& error) {
  if (!CheckEvenSize(format, error)) return false;
  table_ = video_codec::Load(error);
  if (!table_ || !file_.Create(path, error)) return false;
  video_codec::EncodeSettings settings;
  settings.path = file_.TemporaryPath();
  settings.container = video_output::ContainerOf(path);
  settings.codec = format.codec;
  settings.width = format.width;
  settings.height = format.height;
  settings.framesPerSecond = format.framesPerSecond;
  settings.quality = format.quality;
  if (const MetadataProperty* date = metadata.Find("xmp", "CreateDate")) settings.creationTime = date->value;
  VideoSphericalPlan plan = PlanVideoSpherical(metadata, settings.container);
  settings.spherical = plan.spherical;
  notes = std::move(plan.notes);
  encoder_ = table_->open(&settings, &error);
  if (!encoder_) {
    error = "cannot write \"" + path + "\": " + error;
    return false;
  }
  path_ = path;
  width_ = format.width;
  height_ = format.height;
  rgb_.resize(static_cast<size_t>(width_) * height_ * 3);
  return true;
}

bool VideoWriter::Write(const FloatImage& image, std::string& error) {
  if (!encoder_ || image.width != width_ || image.height != height_) {
    error = "cannot write \"" + path_ + "\": a frame of " + std::to_string(image.width) + " x " +
            std::to_string(image.height) + " does not fit the video's size";
    return false;
  }
  DisplayRgb(image, rgb_);
  if (!table_->write(encoder_, rgb_.data(), &error)) {
    error = "cannot write \"" + path_ + "\": " + error;
    return false;
  }
  ++frames_;
  return true;
}

bool VideoWriter::Finish(std::string& error) {
  if (!encoder_) {
    error = "cannot write \"" + path_ + "\": the video was never opened";
    return false;
  }
  const bool finished = table_->finish(encoder_, &error);
  table_->close(encoder_);
  encoder_ = nullptr;
  if (!finished) {
    error = "cannot write \"" + path_ + "\": " + error;
    return false;
  }
  return file_.Commit(error);
}
