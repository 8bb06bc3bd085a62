#include "xmp_containers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace xmp_embed {
namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// iTXt: keyword, zero, no compression, compression method 0, empty language and translated keyword.
constexpr char kKeyword[] = "XML:com.adobe.xmp";
constexpr size_t kKeywordHeader = sizeof(kKeyword) + 4;

uint32_t ReadBig32(const Bytes& bytes, size_t at) {
  return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
         bytes[at + 3];
}

struct Chunk {
  size_t start = 0;
  size_t dataSize = 0;
  std::string type;
  size_t Size() const { return 12 + dataSize; }
};

bool ReadChunk(const Bytes& bytes, size_t at, Chunk& chunk) {
  if (at + 12 > bytes.size()) return false;
  chunk.start = at;
  chunk.dataSize = ReadBig32(bytes, at);
  chunk.type.assign(bytes.begin() + at + 4, bytes.begin() + at + 8);
  return chunk.dataSize <= bytes.size() - at - 12;
}

bool IsXmpChunk(const Bytes& bytes, const Chunk& chunk) {
  return chunk.type == "iTXt" && chunk.dataSize >= kKeywordHeader &&
         std::memcmp(&bytes[chunk.start + 8], kKeyword, sizeof(kKeyword)) == 0 &&
         bytes[chunk.start + 8 + sizeof(kKeyword)] == 0;
}

}  // namespace

bool IsPng(const Bytes& bytes) {
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kPngSignature, sizeof(kPngSignature)) == 0;
}

std::string FindPng(const Bytes& bytes) {
  Chunk chunk;
  for (size_t at = 8; ReadChunk(bytes, at, chunk) && chunk.type != "IEND"; at += chunk.Size()) {
    if (!IsXmpChunk(bytes, chunk)) continue;
    // After the compression flag and method come the language and translated keyword, each ended by zero.
    const auto end = bytes.begin() + chunk.start + 8 + chunk.dataSize;
    auto text = bytes.begin() + chunk.start + 8 + sizeof(kKeyword) + 2;
    for (int skipped = 0; skipped < 2; ++skipped) {
      text = std::find(text, end, 0);
      if (text == end) return {};
      ++text;
    }
    return std::string(text, end);
  }
  return {};
}

}  // namespace xmp_embed
