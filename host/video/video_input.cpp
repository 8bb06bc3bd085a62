#include "video_input.h"

#include "files/regular_file.h"
#include "video_output.h"

#include <array>
#include <cstring>
#include <fstream>

namespace video_input {
namespace {

// The seam's table, once the path is known to be a regular file; null with `error` naming the file.
const video_codec::Table* Reader(const std::string& path, std::string& error) {
  if (!regular_file::Check(path, error)) {
    error = "cannot read \"" + path + "\": it " + error;
    return nullptr;
  }
  return video_codec::Load(error);
}

}  // namespace

bool IsVideoFile(const std::string& path) {
  if (regular_file::KindOf(path) != regular_file::Kind::Regular) return video_output::IsVideoPath(path);
  std::array<unsigned char, 8> head{};
  std::ifstream file(path, std::ios::binary);
  if (!file.read(reinterpret_cast<char*>(head.data()), head.size())) return false;
  static constexpr unsigned char kMatroska[] = {0x1A, 0x45, 0xDF, 0xA3};  // the EBML header's ID
  // An MP4 starts with its file type box, after the box's 4-byte size.
  return std::memcmp(head.data(), kMatroska, sizeof(kMatroska)) == 0 ||
         std::memcmp(head.data() + 4, "ftyp", 4) == 0;
}

bool Probe(const std::string& path, video_codec::StreamFacts& facts, std::string& error) {
  const video_codec::Table* table = Reader(path, error);
  return table && table->probe(path.c_str(), &facts, &error);
}

bool Verify(const std::string& path, long long& frames, std::string& error) {
  const video_codec::Table* table = Reader(path, error);
  return table && table->verify(path.c_str(), &frames, &error);
}

}  // namespace video_input
