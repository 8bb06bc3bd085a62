#include "image_output.h"

#include "runtime/atomic_file.h"
#include "runtime/image_file.h"
#include "runtime/parallel_for.h"
#include "xmp_packet.h"

#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace image_output {
namespace {

enum class Format { Unknown, Exr, Png, Jpeg, Tiff };

Format FormatOf(const std::string& path) {
  std::string suffix = fs::path(path).extension().string();
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  if (suffix == ".exr") return Format::Exr;
  if (suffix == ".png") return Format::Png;
  if (suffix == ".jpg" || suffix == ".jpeg") return Format::Jpeg;
  if (suffix == ".tif" || suffix == ".tiff") return Format::Tiff;
  return Format::Unknown;
}

fs::path FolderOf(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// Display pixels: straight (unassociated) colour, sRGB encoded, alpha kept when `alpha`.
std::vector<Float32> DisplayPixels(const FloatImage& image, bool alpha) {
  const size_t count = static_cast<size_t>(image.width) * image.height;
  const int channels = alpha ? 4 : 3;
  std::vector<Float32> pixels(count * channels);
  parallel::For(size_t{0}, count, [&](const tbb::blocked_range<size_t>& range) {
    for (size_t i = range.begin(); i != range.end(); ++i) {
      const Float32* source = &image.rgba[i * 4];
      const Float32 coverage = source[3];
      // With alpha the colour is stored unassociated; without, the image lies over black.
      const Float32 scale = alpha && coverage > 0.0f ? 1.0f / coverage : 1.0f;
      for (int c = 0; c < 3; ++c) pixels[i * channels + c] = EncodeSrgb(source[c] * scale);
      if (alpha) pixels[i * channels + 3] = std::clamp(coverage, 0.0f, 1.0f);
    }
  });
  return pixels;
}

// EXR headers take the properties as typed attributes.
void AddHeaderAttributes(const ImageMetadata& metadata, OIIO::ImageSpec& spec) {
  for (const MetadataProperty& property : metadata.properties) {
    const std::string name = property.vocabulary + ":" + property.name;
    if (property.kind == MetadataProperty::Kind::Integer)
      spec.attribute(name, std::stoi(property.value));
    else if (property.kind == MetadataProperty::Kind::Real)
      spec.attribute(name, std::stof(property.value));
    else
      spec.attribute(name, property.value);
  }
}

bool WriteFile(const FloatImage& image, const std::string& path, Format format, const ImageMetadata& metadata,
               std::string& error) {
  const bool linear = format == Format::Exr;
  const bool alpha = format != Format::Jpeg;
  const int channels = alpha ? 4 : 3;
  OIIO::ImageSpec spec(image.width, image.height, channels,
                       linear ? OIIO::TypeDesc::FLOAT : OIIO::TypeDesc::UINT8);
  spec.alpha_channel = alpha ? 3 : -1;
  // Not for TIFF: OpenImageIO turns it into an EXIF directory, and TIFFs with one come out of its
  // in-memory encoder with the header pointing at that directory instead of the image's.
  if (format != Format::Tiff) spec.attribute("oiio:ColorSpace", linear ? "Linear" : "sRGB");
  if (!linear && alpha) spec.attribute("oiio:UnassociatedAlpha", 1);
  if (!metadata.exifDate.empty()) spec.attribute("DateTime", metadata.exifDate);
  if (linear) {
    AddHeaderAttributes(metadata, spec);
    return WriteImageFile(path, spec, image.rgba.data(), error);
  }
  const std::vector<Float32> pixels = DisplayPixels(image, alpha);
  const std::string packet = metadata.properties.empty() ? std::string() : XmpPacket(metadata);
  return WriteImageFile(path, spec, pixels.data(), error, packet);
}

}  // namespace

bool IsSupportedPath(const std::string& path) { return FormatOf(path) != Format::Unknown; }

bool CheckWritable(const std::string& path, std::string& error) {
  if (!IsSupportedPath(path)) {
    error = "cannot write \"" + path + "\": the name must end in .exr, .png, .jpg, .jpeg, .tif or .tiff";
    return false;
  }
  const fs::path folder = FolderOf(path);
  std::error_code code;
  if (!fs::is_directory(folder, code)) {
    error = "cannot write \"" + path + "\": the folder \"" + folder.string() + "\" does not exist";
    return false;
  }
  if (fs::is_directory(path, code)) {
    error = "cannot write \"" + path + "\": it is a folder";
    return false;
  }
  return atomic_file::FolderTakesFiles(path, error);
}

std::string FramePath(const std::string& path, Int32 frame, bool numbered) {
  const fs::path target(path);
  std::string name = target.filename().string();
  const size_t first = name.find('#');
  if (first != std::string::npos) {
    const size_t last = name.find_first_not_of('#', first);
    const size_t width = (last == std::string::npos ? name.size() : last) - first;
    // Padded to any width, so that every frame keeps a name of its own however many "#" there are.
    const std::string number = std::to_string(frame);
    const std::string sign = frame < 0 ? "-" : "";
    const std::string digits = frame < 0 ? number.substr(1) : number;
    const size_t padding = width > number.size() ? width - number.size() : 0;
    name.replace(first, width, sign + std::string(padding, '0') + digits);
    return (target.parent_path() / name).string();
  }
  if (!numbered) return path;
  char suffix[32];
  std::snprintf(suffix, sizeof(suffix), "_%04d", frame);
  return (target.parent_path() / (target.stem().string() + suffix + target.extension().string())).string();
}

bool Write(const FloatImage& image, const std::string& path, std::string& error,
           const ImageMetadata& metadata) {
  const Format format = FormatOf(path);
  if (format == Format::Unknown) return CheckWritable(path, error);
  return WriteFile(image, path, format, metadata, error);
}

Float32 EncodeSrgb(Float32 linear) {
  const Float32 value = std::isfinite(linear) ? std::clamp(linear, 0.0f, 1.0f) : 0.0f;
  return value <= 0.0031308f ? value * 12.92f : 1.055f * std::pow(value, 1.0f / 2.4f) - 0.055f;
}

Float32 DecodeSrgb(Float32 encoded) {
  return encoded <= 0.04045f ? encoded / 12.92f : std::pow((encoded + 0.055f) / 1.055f, 2.4f);
}

}  // namespace image_output
