#include "plain_png.h"

#include "image_limits.h"

#include <png.h>

#include <cstring>
#include <fstream>

namespace plain_png {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr png_uint_32 kMaxSide = 16384;

// True when every chunk before the image data is one that leaves 8-bit colour as it is stored:
// no transparency (which would add alpha) and no gamma or colour-space chunk (which a decoder
// may apply).
bool HasOnlyPlainChunks(std::ifstream& file) {
  unsigned char signature[8] = {};
  if (!file.read(reinterpret_cast<char*>(signature), 8) || std::memcmp(signature, kSignature, 8) != 0)
    return false;
  for (int chunk = 0; chunk < 64; ++chunk) {
    unsigned char head[8] = {};
    if (!file.read(reinterpret_cast<char*>(head), 8)) return false;
    const std::uint32_t length = (std::uint32_t{head[0]} << 24) | (head[1] << 16) | (head[2] << 8) | head[3];
    const std::string type(reinterpret_cast<const char*>(head + 4), 4);
    if (type == "IDAT") return true;
    if (type == "tRNS" || type == "gAMA" || type == "sRGB" || type == "iCCP" || type == "cHRM" ||
        type == "sBIT")
      return false;
    file.seekg(static_cast<std::streamoff>(length) + 4, std::ios::cur);
  }
  return false;
}

}  // namespace

PlainRead Read(const std::string& path, image_codec::Header& header, std::vector<float>& pixels,
               std::string& error) {
  if (std::ifstream file(path, std::ios::binary); !file || !HasOnlyPlainChunks(file))
    return PlainRead::NotPlain;
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return PlainRead::NotPlain;
  image_codec::Header read;
  read.width = static_cast<int>(image.width);
  read.height = static_cast<int>(image.height);
  read.channels = 3;
  read.sample = image_codec::SampleType::UInt8;
  read.format = "png";
  // An image the limits refuse is left to the image library's path, which says so; a few bytes
  // claiming a huge image are never decoded here.
  std::string refused;
  const bool plain = (image.format & PNG_FORMAT_FLAG_COLOR) && !(image.format & PNG_FORMAT_FLAG_ALPHA) &&
                     !(image.format & PNG_FORMAT_FLAG_LINEAR) && image.width > 0 && image.height > 0 &&
                     image.width <= kMaxSide && image.height <= kMaxSide &&
                     image_limits::CheckBeforeDecode(path, read, refused);
  if (!plain) {
    png_image_free(&image);
    return PlainRead::NotPlain;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
    error = "the PNG image \"" + path + "\" is damaged: " + image.message;
    png_image_free(&image);
    return PlainRead::Damaged;
  }
  header = read;
  // As the image library converts a byte.
  constexpr float kScale = 1.0f / 255.0f;
  pixels.resize(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) pixels[i] = bytes[i] * kScale;
  return PlainRead::Read;
}

}  // namespace plain_png
