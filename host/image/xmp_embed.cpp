#include "xmp_embed.h"

#include "xmp_containers.h"

namespace xmp_embed {

bool Insert(std::vector<unsigned char>& bytes, const std::string& packet, std::string& error) {
  if (IsJpeg(bytes)) return InsertJpeg(bytes, packet, error);
  if (IsPng(bytes)) {
    error = "a PNG file gets its XMP packet from the PNG writer, as it is written";
    return false;
  }
  if (IsTiff(bytes)) return InsertTiff(bytes, packet, error);
  error = "XMP metadata fits only JPEG, PNG and TIFF files";
  return false;
}

std::string Find(const std::vector<unsigned char>& bytes) {
  if (IsJpeg(bytes)) return FindJpeg(bytes);
  if (IsPng(bytes)) return FindPng(bytes);
  if (IsTiff(bytes)) return FindTiff(bytes);
  return {};
}

}  // namespace xmp_embed
