#pragma once

#include <string>
#include <vector>

// An XMP packet placed into, and found in, encoded JPEG, PNG and TIFF files, where readers look for
// it: a JPEG APP1 segment after the other APPn segments, a PNG iTXt chunk "XML:com.adobe.xmp"
// before the image data, the TIFF tag 700 of the first image.
namespace xmp_embed {

// Adds the packet to a JPEG or TIFF file's bytes (replacing one that is there). False with `error`
// for bytes of another format, a damaged file or a packet too long for the format, and for a PNG
// file, whose packet its writer puts in (png_writer.h).
bool Insert(std::vector<unsigned char>& bytes, const std::string& packet, std::string& error);

// The packet a file holds; empty when it holds none or is no JPEG, PNG or TIFF file.
std::string Find(const std::vector<unsigned char>& bytes);

}  // namespace xmp_embed
