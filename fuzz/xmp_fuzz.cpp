// libFuzzer target: any bytes as an image file whose XMP packet `orvex360 info` reads (found in a
// JPEG, PNG or TIFF file, then its properties), and as a packet of its own.
#include "image/xmp_embed.h"
#include "image/xmp_packet.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  ReadXmpPacket(xmp_embed::Find(bytes));
  ReadXmpPacket(std::string(bytes.begin(), bytes.end()));
  return 0;
}
