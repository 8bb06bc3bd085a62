#pragma once

#include <string>
#include <vector>

// The functions per file format behind xmp_embed; each expects bytes of its own format. PNG files
// are given their packet by the host's PNG writer (png_writer.h), the one place their chunks are made.
namespace xmp_embed {

using Bytes = std::vector<unsigned char>;

bool IsJpeg(const Bytes& bytes);
bool InsertJpeg(Bytes& bytes, const std::string& packet, std::string& error);
std::string FindJpeg(const Bytes& bytes);

bool IsPng(const Bytes& bytes);
std::string FindPng(const Bytes& bytes);

bool IsTiff(const Bytes& bytes);
bool InsertTiff(Bytes& bytes, const std::string& packet, std::string& error);
std::string FindTiff(const Bytes& bytes);

}  // namespace xmp_embed
