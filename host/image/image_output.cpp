#include "image_output.h"

#include "base/parallel_for.h"
#include "files/atomic_file.h"
#include "image_codec.h"
#include "image_file.h"
#include "png_writer.h"
#include "srgb.h"
#include "xmp_packet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

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

// Display pixels: straight (unassociated) colour, sRGB encoded, alpha kept when `alpha`.
std::vector<Float32> DisplayPixels(const FloatImage& image, bool alpha) {
  const size_t count = static_cast<size_t>(image.width) * image.height;
  const int channels = alpha ? 4 : 3;
  std::vector<Float32> pixels(count * channels);
  const srgb::ByteEncoder& encode = srgb::ByteEncoder::Get();
  parallel::For(size_t{0}, count, [&](const tbb::blocked_range<size_t>& range) {
    for (size_t i = range.begin(); i != range.end(); ++i) {
      const Float32* source = &image.rgba[i * 4];
      const Float32 coverage = source[3];
      // With alpha the colour is stored unassociated; without, the image lies over black.
      const Float32 scale = alpha && coverage > 0.0f ? 1.0f / coverage : 1.0f;
      for (int c = 0; c < 3; ++c) pixels[i * channels + c] = encode(source[c] * scale);
      if (alpha) pixels[i * channels + 3] = std::clamp(coverage, 0.0f, 1.0f);
    }
  });
  return pixels;
}

// One row of display bytes for an 8-bit PNG, RGBA with the colour unassociated, straight from the
// linear image: the same bytes the float path above gives after rounding.
void DisplayRow(const FloatImage& image, const srgb::ByteEncoder& encode, int y, unsigned char* row) {
  const Float32* source = image.Row(y);
  for (int x = 0; x < image.width; ++x, source += 4, row += 4) {
    const Float32 coverage = source[3];
    // Most pixels are opaque: no division for them (1 / 1 is exactly 1).
    const Float32 scale = coverage == 1.0f ? 1.0f : coverage > 0.0f ? 1.0f / coverage : 1.0f;
    for (int c = 0; c < 3; ++c) row[c] = png_codec::UnitToByte(encode(source[c] * scale));
    row[3] = png_codec::UnitToByte(coverage);
  }
}

bool WritePng(const FloatImage& image, const std::string& path, const ImageMetadata& metadata,
              std::string& error) {
  std::vector<unsigned char> bytes;
  if (!EncodePng(image, metadata, bytes, error)) {
    error = "cannot write \"" + path + "\": " + error;
    return false;
  }
  return atomic_file::Write(path, bytes, error);
}

// EXR headers take the properties as typed attributes.
void AddHeaderAttributes(const ImageMetadata& metadata, std::vector<image_codec::Attribute>& attributes) {
  using Kind = image_codec::Attribute::Kind;
  for (const MetadataProperty& property : metadata.properties) {
    image_codec::Attribute attribute{property.vocabulary + ":" + property.name, Kind::Text, property.value};
    if (property.kind == MetadataProperty::Kind::Integer) {
      attribute.kind = Kind::Integer;
      attribute.integer = std::stoi(property.value);
    } else if (property.kind == MetadataProperty::Kind::Real) {
      attribute.kind = Kind::Real;
      attribute.real = std::stof(property.value);
    }
    attributes.push_back(attribute);
  }
}

bool WriteFile(const FloatImage& image, const std::string& path, Format format, const ImageMetadata& metadata,
               std::string& error) {
  if (format == Format::Png) return WritePng(image, path, metadata, error);
  using Kind = image_codec::Attribute::Kind;
  const bool linear = format == Format::Exr;
  const bool alpha = format != Format::Jpeg;
  image_codec::EncodeRequest request;
  request.path = path;
  request.width = image.width;
  request.height = image.height;
  request.channels = alpha ? 4 : 3;
  request.fileSample = linear ? image_codec::SampleType::Float : image_codec::SampleType::UInt8;
  request.alphaChannel = alpha ? 3 : -1;
  // Not for TIFF: the image library turns it into an EXIF directory, and TIFFs with one come out of
  // its in-memory encoder with the header pointing at that directory instead of the image's.
  if (format != Format::Tiff)
    request.attributes.push_back({"oiio:ColorSpace", Kind::Text, linear ? "Linear" : "sRGB"});
  if (!linear && alpha) request.attributes.push_back({"oiio:UnassociatedAlpha", Kind::Integer, {}, 1});
  if (!metadata.exifDate.empty()) request.attributes.push_back({"DateTime", Kind::Text, metadata.exifDate});
  if (linear) {
    AddHeaderAttributes(metadata, request.attributes);
    request.floatPixels = image.rgba.data();
    return WriteImageFile(request, error);
  }
  const std::vector<Float32> pixels = DisplayPixels(image, alpha);
  request.floatPixels = pixels.data();
  const std::string packet = metadata.properties.empty() ? std::string() : XmpPacket(metadata);
  return WriteImageFile(request, error, packet);
}

}  // namespace

bool EncodePng(const FloatImage& image, const ImageMetadata& metadata, std::vector<unsigned char>& bytes,
               std::string& error) {
  const srgb::ByteEncoder& encode = srgb::ByteEncoder::Get();
  png_codec::WriteRequest request;
  request.width = image.width;
  request.height = image.height;
  request.channels = 4;
  request.row = [&](int y, unsigned char* row) { DisplayRow(image, encode, y, row); };
  request.date = metadata.exifDate;
  if (!metadata.properties.empty()) request.xmpPacket = XmpPacket(metadata);
  return png_codec::Encode(request, bytes, error);
}

bool IsSceneLinear(const std::string& path) { return FormatOf(path) == Format::Exr; }

bool IsSupportedPath(const std::string& path) { return FormatOf(path) != Format::Unknown; }

bool CheckWritable(const std::string& path, std::string& error) {
  if (!IsSupportedPath(path)) {
    error = "cannot write \"" + path + "\": the name must end in " + kSuffixes;
    return false;
  }
  if (!atomic_file::CheckTarget(path, error)) return false;
  // A missing image library shows before the render, not after it; PNG files need none.
  if (std::string reason; FormatOf(path) != Format::Png && !image_codec::Load(reason)) {
    error = "cannot write \"" + path + "\": " + reason;
    return false;
  }
  return true;
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

bool DropsTransparency(const FloatImage& image, const std::string& path) {
  if (FormatOf(path) != Format::Jpeg) return false;
  for (size_t i = 3; i < image.rgba.size(); i += 4)
    if (!(image.rgba[i] >= 1.0f)) return true;
  return false;
}

std::string CompanionFramePath(const std::string& path, const std::string& images, Int32 frame,
                               bool numbered) {
  const fs::path target(path);
  const std::string imageName = fs::path(images).filename().string();
  const size_t first = imageName.find('#');
  if (target.filename().string().find('#') != std::string::npos || first == std::string::npos)
    return FramePath(path, frame, numbered);
  const size_t last = imageName.find_first_not_of('#', first);
  const std::string run =
      imageName.substr(first, (last == std::string::npos ? imageName.size() : last) - first);
  const fs::path pattern =
      target.parent_path() / (target.stem().string() + "_" + run + target.extension().string());
  return FramePath(pattern.string(), frame, numbered);
}

bool Write(const FloatImage& image, const std::string& path, std::string& error,
           const ImageMetadata& metadata) {
  const Format format = FormatOf(path);
  if (format == Format::Unknown) return CheckWritable(path, error);
  return WriteFile(image, path, format, metadata, error);
}

Float32 DecodeSrgb(Float32 encoded) { return srgb::Decode(encoded); }

}  // namespace image_output
