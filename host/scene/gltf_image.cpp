#include "gltf_image.h"

#include "image/image_codec.h"
#include "image/srgb.h"

#include <cstring>

namespace gltf_image {
namespace {

// A name whose suffix tells the image library the format, chosen from the data's signature, never from
// what the file claims.
const char* FormatName(const unsigned char* bytes, size_t size) {
  static const unsigned char kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (size >= sizeof(kPng) && std::memcmp(bytes, kPng, sizeof(kPng)) == 0) return "image.png";
  if (size >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff) return "image.jpg";
  return nullptr;
}

}  // namespace

bool Decode(const unsigned char* bytes, size_t size, std::vector<unsigned char>& rgba, Int32& width,
            Int32& height, std::string& error) {
  const char* name = bytes ? FormatName(bytes, size) : nullptr;
  if (!name) {
    error = "is neither a PNG nor a JPEG image";
    return false;
  }
  image_codec::Reader reader;
  if (std::string reason; !reader.OpenMemory(bytes, size, name, reason)) {
    error = "cannot be decoded: " + reason;
    return false;
  }
  const image_codec::Header& header = reader.header();
  if (header.width <= 0 || header.height <= 0 || header.width > kMaxSide || header.height > kMaxSide ||
      static_cast<long long>(header.width) * header.height > kMaxPixels || header.channels <= 0) {
    error = "is " + std::to_string(header.width) + " x " + std::to_string(header.height) +
            " pixels; at most " + std::to_string(kMaxSide) + " on a side are taken";
    return false;
  }
  width = header.width;
  height = header.height;
  rgba.assign(static_cast<size_t>(width) * height * 4, 255);
  // Missing channels: grey repeats its one channel, alpha stays opaque.
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * header.channels);
  if (std::string problems; !reader.ReadBytes(pixels.data(), problems)) {
    error = "cannot be decoded: " + problems;
    return false;
  }
  const int channels = header.channels;
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
    const unsigned char* pixel = &pixels[i * channels];
    const bool grey = channels <= 2;
    for (int c = 0; c < 3; ++c) rgba[i * 4 + c] = pixel[grey ? 0 : c];
    if (channels == 2 || channels >= 4) rgba[i * 4 + 3] = pixel[grey ? 1 : 3];
  }
  return true;
}

Texture ImageTexture(const std::vector<unsigned char>& rgba, Int32 width, Int32 height, bool srgb) {
  Texture texture;
  texture.width = width;
  texture.height = height;
  texture.texels.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < texture.texels.size(); ++i)
    for (int c = 0; c < 4; ++c) {
      const float value = rgba[i * 4 + c] / 255.0f;
      texture.texels[i][c] = c < 3 && srgb ? srgb::Decode(value) : value;
    }
  return texture;
}

}  // namespace gltf_image
