#pragma once

#include <string>
#include <vector>

// One function pair per file format behind xmp_embed; each expects bytes of its own format.
namespace xmp_embed {

using Bytes = std::vector<unsigned char>;

bool IsJpeg(const Bytes& bytes);
bool InsertJpeg(Bytes& bytes, const std::string& packet, std::string& error);
std::string FindJpeg(const Bytes& bytes);

bool IsPng(const Bytes& bytes);
bool InsertPng(Bytes& bytes, const std::string& packet, std::string& error);
std::string FindPng(const Bytes& bytes);

bool IsTiff(const Bytes& bytes);
bool InsertTiff(Bytes& bytes, const std::string& packet, std::string& error);
std::string FindTiff(const Bytes& bytes);

}  // namespace xmp_embed
