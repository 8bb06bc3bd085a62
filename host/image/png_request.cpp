#include "png_request.h"

#include "png_writer.h"

#include <algorithm>
#include <cctype>

namespace png_codec {
namespace {

bool EndsWithPng(const std::string& path) {
  if (path.size() < 4) return false;
  std::string suffix = path.substr(path.size() - 4);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return suffix == ".png";
}

}  // namespace

bool TakesRequest(const image_codec::EncodeRequest& request) {
  return EndsWithPng(request.path) && request.fileSample == image_codec::SampleType::UInt8 &&
         request.channels >= 1 && request.channels <= 4 && (request.floatPixels || request.bytePixels);
}

bool EncodeRequest(const image_codec::EncodeRequest& request, std::vector<unsigned char>& bytes,
                   std::string& error) {
  WriteRequest png;
  png.width = request.width;
  png.height = request.height;
  png.channels = request.channels;
  png.srgb = false;
  for (const image_codec::Attribute& attribute : request.attributes) {
    if (attribute.name == "oiio:ColorSpace") png.srgb = attribute.text == "sRGB";
    if (attribute.name == "DateTime") png.date = attribute.text;
  }
  const size_t rowSamples = static_cast<size_t>(request.width) * request.channels;
  png.row = [&](int y, unsigned char* row) {
    const size_t start = static_cast<size_t>(y) * rowSamples;
    if (request.bytePixels) {
      std::copy_n(request.bytePixels + start, rowSamples, row);
      return;
    }
    for (size_t i = 0; i < rowSamples; ++i) row[i] = UnitToByte(request.floatPixels[start + i]);
  };
  return Encode(png, bytes, error);
}

}  // namespace png_codec
