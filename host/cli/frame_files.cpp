#include "frame_files.h"

#include "image/image_codec.h"
#include "image/image_facts.h"
#include "image/image_limits.h"
#include "image/image_output.h"
#include "image/srgb.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace frame_files {
namespace {

// The frame number of `name` when it is the pattern's name with digits in place of its "#" run.
std::optional<Int32> NumberOf(const std::string& name, const std::string& before, const std::string& after,
                              size_t width) {
  if (name.size() < before.size() + after.size() + width || !name.starts_with(before) ||
      !name.ends_with(after))
    return std::nullopt;
  const std::string digits = name.substr(before.size(), name.size() - before.size() - after.size());
  if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return std::stoi(digits);
}

// A pixel's colour as the renderer holds it from the file's channels.
void StorePixel(const float* source, int channels, bool displayEncoded, Float32* pixel) {
  const bool grey = channels <= 2;
  const float alpha = channels == 2 ? source[1] : channels >= 4 ? source[3] : 1.0f;
  for (int c = 0; c < 3; ++c) {
    const float value = source[grey ? 0 : c];
    pixel[c] = (displayEncoded ? srgb::Decode(value) : value) * (displayEncoded ? alpha : 1.0f);
  }
  pixel[3] = alpha;
}

}  // namespace

bool FindRange(const std::string& pattern, Int32& first, Int32& last, std::string& error) {
  const fs::path path(pattern);
  const std::string name = path.filename().string();
  const size_t run = name.find('#');
  if (run == std::string::npos) {
    error = "\"" + pattern + "\" names no frames: mark the frame number with # (frame_####.png)";
    return false;
  }
  const size_t end = std::min(name.find_first_not_of('#', run), name.size());
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::set<Int32> numbers;
  std::error_code code;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, code))
    if (const std::optional<Int32> number =
            NumberOf(entry.path().filename().string(), name.substr(0, run), name.substr(end), end - run))
      numbers.insert(*number);
  if (numbers.empty()) {
    error = "no frames \"" + pattern + "\"" + (code ? ": " + code.message() : std::string());
    return false;
  }
  first = *numbers.begin();
  last = *numbers.rbegin();
  for (Int32 frame = first; frame <= last; ++frame)
    if (!numbers.contains(frame)) {
      error = "frame " + std::to_string(frame) + " of " + std::to_string(first) + "-" + std::to_string(last) +
              " is missing: " + image_output::FramePath(pattern, frame, true);
      return false;
    }
  return true;
}

bool Read(const std::string& path, FloatImage& image, ImageMetadata& metadata, std::string& error) {
  ImageFacts facts;
  if (!image_limits::CheckFile(path, error) || !ReadImageFacts(path, facts, error)) return false;
  image_codec::Reader reader;
  if (!reader.Open(path, error)) return false;
  const image_codec::Header& header = reader.header();
  const int channels = std::max(header.channels, 1);
  std::vector<float> pixels(static_cast<size_t>(header.width) * header.height * channels);
  std::string problems;
  if (!reader.ReadFloats(pixels.data(), problems) || !problems.empty()) {
    error = path + ": does not decode completely" + (problems.empty() ? std::string() : ": " + problems);
    return false;
  }
  if (!image.AllocateUncleared(header.width, header.height)) {
    error = path + ": no memory for a frame of " + std::to_string(header.width) + " x " +
            std::to_string(header.height);
    return false;
  }
  const bool displayEncoded = header.sample != image_codec::SampleType::Float;
  for (Int32 y = 0; y < image.height; ++y)
    for (Int32 x = 0; x < image.width; ++x)
      StorePixel(&pixels[(static_cast<size_t>(y) * image.width + x) * channels], channels, displayEncoded,
                 image.Pixel(x, y));
  metadata = facts.metadata;
  return true;
}

bool SamePicture(const ImageMetadata& a, const ImageMetadata& b) {
  const auto described = [](const ImageMetadata& metadata) {
    std::vector<std::string> properties;
    for (const MetadataProperty& property : metadata.properties)
      if (property.vocabulary != "xmp")
        properties.push_back(property.vocabulary + ":" + property.name + "=" + property.value);
    std::sort(properties.begin(), properties.end());
    return properties;
  };
  return described(a) == described(b);
}

}  // namespace frame_files
