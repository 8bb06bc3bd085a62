// libFuzzer target: any bytes as a PNG file for the host's own PNG reader, in both sample types.
#include "image/png_codec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The host refuses images larger than its limits before it decodes them (image_limits); the fuzzer
// keeps to far fewer values, so that it spends its time on the reading.
constexpr size_t kMaxValues = size_t{1} << 22;

void Decode(const std::vector<unsigned char>& bytes, image_codec::SampleType type) {
  png_codec::DecoderPointer decoder;
  image_codec::Header header;
  std::string error;
  if (png_codec::Open(bytes, decoder, header, error) != png_codec::Opened::Png) return;
  const size_t values = static_cast<size_t>(header.width) * header.height * header.channels;
  if (values == 0 || values > kMaxValues) return;
  std::vector<float> pixels(values);  // floats are the larger of the two
  png_codec::Read(*decoder, type, pixels.data(), error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  Decode(bytes, image_codec::SampleType::Float);
  Decode(bytes, image_codec::SampleType::UInt8);
  return 0;
}
