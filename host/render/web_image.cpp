#include "web_image.h"

#include "runtime/image_limits.h"

#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imagebufalgo.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

bool ReadBytes(const std::string& path, std::vector<unsigned char>& bytes) {
  std::ifstream file(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return static_cast<bool>(file) || file.eof();
}

// Decodes, display-encodes and scales the image, then encodes it as 8-bit PNG in memory.
bool ConvertToPng(const std::string& path, const std::string& format, WebImage& image, std::string& error) {
  OIIO::ImageBuf buffer(path);
  if (!buffer.read(0, 0, true, OIIO::TypeDesc::FLOAT)) {
    error = path + ": " + buffer.geterror();
    return false;
  }
  if (format == "openexr") buffer = OIIO::ImageBufAlgo::colorconvert(buffer, "linear", "sRGB");
  const int side = std::max(image.width, image.height);
  if (side > kMaxWebTextureSide) {
    const double scale = static_cast<double>(kMaxWebTextureSide) / side;
    const OIIO::ROI roi(0, std::max(1, static_cast<int>(image.width * scale)), 0,
                        std::max(1, static_cast<int>(image.height * scale)), 0, 1, 0, buffer.nchannels());
    buffer = OIIO::ImageBufAlgo::resize(buffer, "", 0.0f, roi);
  }
  image.width = buffer.spec().width;
  image.height = buffer.spec().height;
  OIIO::Filesystem::IOVecOutput memory(image.bytes);
  auto output = OIIO::ImageOutput::create("png");
  OIIO::ImageSpec spec = buffer.spec();
  spec.set_format(OIIO::TypeDesc::UINT8);
  return output && output->supports("ioproxy") && output->set_ioproxy(&memory) &&
         output->open("frame.png", spec) && buffer.write(output.get()) && output->close();
}

}  // namespace

bool EncodeForWeb(const std::string& path, WebImage& image, std::string& error) {
  auto input = OIIO::ImageInput::open(path);
  if (!input) {
    error = path + " is not an image that can be read: " + OIIO::geterror();
    return false;
  }
  const OIIO::ImageSpec spec = input->spec();
  const std::string format = input->format_name();
  input->close();
  if (!image_limits::CheckBeforeDecode(path, spec, error)) return false;
  image.width = spec.width;
  image.height = spec.height;
  const bool web = format == "png" || format == "jpeg";
  if (web && std::max(spec.width, spec.height) <= kMaxWebTextureSide) {
    image.mimeType = format == "png" ? "image/png" : "image/jpeg";
    if (ReadBytes(path, image.bytes)) return true;
    error = path + ": cannot be read";
    return false;
  }
  image.mimeType = "image/png";
  if (ConvertToPng(path, format, image, error)) return true;
  if (error.empty()) error = path + ": cannot be converted for the page: " + OIIO::geterror();
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
