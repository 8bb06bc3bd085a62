// libFuzzer target: any bytes as a TIFF file for the host's own reader of plain TIFF icons.
#include "image/plain_tiff.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  image_codec::Header header;
  std::vector<float> pixels;
  std::string error;
  plain_tiff::Decode(bytes, "fuzz.tif", header, pixels, error);
  return 0;
}
