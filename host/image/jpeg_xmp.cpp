#include "xmp_containers.h"

#include <cstring>

namespace xmp_embed {
namespace {

constexpr char kSignature[] = "http://ns.adobe.com/xap/1.0/";  // followed by its terminating zero
constexpr size_t kSignatureSize = sizeof(kSignature);
constexpr unsigned char kApp1 = 0xE1;

// One marker segment of the header: where it starts, its marker and its whole size.
struct Segment {
  size_t start = 0;
  unsigned char marker = 0;
  size_t size = 0;
};

// The segment at `at`, when a complete one with a length field starts there.
bool ReadSegment(const Bytes& bytes, size_t at, Segment& segment) {
  if (at + 4 > bytes.size() || bytes[at] != 0xFF) return false;
  segment.start = at;
  segment.marker = bytes[at + 1];
  segment.size = 2 + (static_cast<size_t>(bytes[at + 2]) << 8 | bytes[at + 3]);
  return segment.size >= 4 && at + segment.size <= bytes.size();
}

bool IsXmpSegment(const Bytes& bytes, const Segment& segment) {
  return segment.marker == kApp1 && segment.size >= 4 + kSignatureSize &&
         std::memcmp(&bytes[segment.start + 4], kSignature, kSignatureSize) == 0;
}

bool IsAppSegment(const Segment& segment) { return segment.marker >= 0xE0 && segment.marker <= 0xEF; }

}  // namespace

bool IsJpeg(const Bytes& bytes) { return bytes.size() >= 4 && bytes[0] == 0xFF && bytes[1] == 0xD8; }

bool InsertJpeg(Bytes& bytes, const std::string& packet, std::string& error) {
  const size_t length = 2 + kSignatureSize + packet.size();
  if (length > 0xFFFF) {
    error = "the XMP packet is too long for one JPEG segment";
    return false;
  }
  // After the leading APPn segments (JFIF, EXIF), dropping an XMP segment already there.
  size_t at = 2;
  Segment segment;
  while (ReadSegment(bytes, at, segment) && IsAppSegment(segment)) {
    if (IsXmpSegment(bytes, segment)) {
      bytes.erase(bytes.begin() + segment.start, bytes.begin() + segment.start + segment.size);
      continue;
    }
    at += segment.size;
  }
  Bytes inserted = {0xFF, kApp1, static_cast<unsigned char>(length >> 8), static_cast<unsigned char>(length)};
  inserted.insert(inserted.end(), kSignature, kSignature + kSignatureSize);
  inserted.insert(inserted.end(), packet.begin(), packet.end());
  bytes.insert(bytes.begin() + at, inserted.begin(), inserted.end());
  return true;
}

std::string FindJpeg(const Bytes& bytes) {
  Segment segment;
  // Header segments end where the scan starts (0xDA).
  for (size_t at = 2; ReadSegment(bytes, at, segment) && segment.marker != 0xDA; at += segment.size)
    if (IsXmpSegment(bytes, segment))
      return std::string(bytes.begin() + segment.start + 4 + kSignatureSize,
                         bytes.begin() + segment.start + segment.size);
  return {};
}

}  // namespace xmp_embed
