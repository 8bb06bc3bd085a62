#include "web_image.h"

#include "files/regular_file.h"
#include "image_codec.h"
#include "image_facts.h"
#include "image_limits.h"
#include "srgb.h"

#include <algorithm>
#include <cmath>

namespace {

// A web image embedded as it is: at most kMaxWebTextureSide square, so far less than this.
constexpr std::uintmax_t kMaxWebFileBytes = std::uintmax_t{1} << 30;

// Box-filtered copy of `pixels` (width x height, `channels` each) at the new size: each output pixel
// averages the input pixels its footprint covers, so nothing aliases when a huge image shrinks.
std::vector<float> ShrinkTo(const std::vector<float>& pixels, int width, int height, int channels,
                            int newWidth, int newHeight) {
  std::vector<float> out(static_cast<size_t>(newWidth) * newHeight * channels);
  for (int y = 0; y < newHeight; ++y) {
    const int y0 = static_cast<int>(static_cast<long long>(y) * height / newHeight);
    const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * height / newHeight));
    for (int x = 0; x < newWidth; ++x) {
      const int x0 = static_cast<int>(static_cast<long long>(x) * width / newWidth);
      const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * width / newWidth));
      float* target = &out[(static_cast<size_t>(y) * newWidth + x) * channels];
      for (int j = y0; j < y1; ++j)
        for (int i = x0; i < x1; ++i)
          for (int c = 0; c < channels; ++c)
            target[c] += pixels[(static_cast<size_t>(j) * width + i) * channels + c];
      const float count = static_cast<float>((y1 - y0) * (x1 - x0));
      for (int c = 0; c < channels; ++c) target[c] /= count;
    }
  }
  return out;
}

// Decodes, scales and display-encodes the image (EXR holds linear values), then encodes it as 8-bit
// PNG in memory.
bool ConvertToPng(const std::string& path, image_codec::Reader& reader, WebImage& image, std::string& error) {
  const image_codec::Header& header = reader.header();
  const int channels = header.channels;
  std::vector<float> pixels(static_cast<size_t>(header.width) * header.height * channels);
  std::string problems;
  if (!reader.ReadFloats(pixels.data(), problems)) {
    error = path + ": " + problems;
    return false;
  }
  const int side = std::max(header.width, header.height);
  if (side > kMaxWebTextureSide) {
    const double scale = static_cast<double>(kMaxWebTextureSide) / side;
    image.width = std::max(1, static_cast<int>(header.width * scale));
    image.height = std::max(1, static_cast<int>(header.height * scale));
    pixels = ShrinkTo(pixels, header.width, header.height, channels, image.width, image.height);
  }
  const bool linear = header.format == "openexr";
  const int alpha = channels == 2 || channels == 4 ? channels - 1 : -1;
  std::vector<unsigned char> bytes(pixels.size());
  for (size_t k = 0; k < pixels.size(); ++k) {
    const bool colour = static_cast<int>(k % channels) != alpha;
    const float value = linear && colour ? srgb::Encode(pixels[k]) : std::clamp(pixels[k], 0.0f, 1.0f);
    bytes[k] = static_cast<unsigned char>(std::lround((std::isfinite(value) ? value : 0.0f) * 255.0f));
  }
  image_codec::EncodeRequest request;
  request.path = "frame.png";
  request.width = image.width;
  request.height = image.height;
  request.channels = channels;
  request.alphaChannel = alpha;
  request.bytePixels = bytes.data();
  return image_codec::Encode(request, image.bytes, error);
}

}  // namespace

bool EncodeForWeb(const std::string& path, WebImage& image, std::string& error) {
  image_codec::Reader reader;
  std::string reason;
  if (!reader.Open(path, reason)) {
    error = path + " is not an image that can be read: " + reason;
    return false;
  }
  const image_codec::Header& header = reader.header();
  if (!image_limits::CheckBeforeDecode(path, header, error)) return false;
  image.width = header.width;
  image.height = header.height;
  const bool web = header.format == "png" || header.format == "jpeg";
  if (web && std::max(header.width, header.height) <= kMaxWebTextureSide) {
    image.mimeType = header.format == "png" ? "image/png" : "image/jpeg";
    // Embedded as they are, so they are checked first: a cut-short file would show as a broken page.
    if (!VerifyImageComplete(path, error)) return false;
    if (regular_file::ReadWhole(path, kMaxWebFileBytes, image.bytes, error)) return true;
    error = path + ": " + error;
    return false;
  }
  image.mimeType = "image/png";
  if (ConvertToPng(path, reader, image, error)) return true;
  error = path + ": cannot be converted for the page: " + error;
  return false;
}

std::string Base64(const std::vector<unsigned char>& bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const unsigned value = bytes[i] << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    text += kAlphabet[value >> 18 & 63];
    text += kAlphabet[value >> 12 & 63];
    text += i + 1 < bytes.size() ? kAlphabet[value >> 6 & 63] : '=';
    text += i + 2 < bytes.size() ? kAlphabet[value & 63] : '=';
  }
  return text;
}
