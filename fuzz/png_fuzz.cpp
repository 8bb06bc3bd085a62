// libFuzzer target: any bytes as a PNG file for the host's own PNG readers, the one over bytes in
// memory (both sample types) and the plain one the icons take, over a file of the fuzzer's own.
#include "image/plain_png.h"
#include "image/png_codec.h"

#include <unistd.h>

#include <cstdint>
#include <fstream>
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

const std::string& FilePath() {
  static const std::string path = "/tmp/orvex-png-fuzz-" + std::to_string(getpid()) + ".png";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  Decode(bytes, image_codec::SampleType::Float);
  Decode(bytes, image_codec::SampleType::UInt8);
  std::ofstream(FilePath(), std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  image_codec::Header header;
  std::vector<float> pixels;
  std::string error;
  plain_png::Read(FilePath(), header, pixels, error);
  return 0;
}
