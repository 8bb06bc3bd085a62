#include "regular_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace regular_file {
namespace {

namespace fs = std::filesystem;

std::string SizeText(std::uintmax_t bytes) {
  constexpr std::uintmax_t kMegabyte = std::uintmax_t{1} << 20;
  return bytes >= kMegabyte ? std::to_string(bytes / kMegabyte) + " MB" : std::to_string(bytes) + " bytes";
}

// The checked size of a regular file that is neither empty nor too large.
bool SizeToRead(const std::string& path, std::uintmax_t maxBytes, std::uintmax_t& size, std::string& error) {
  if (!Check(path, error)) return false;
  std::error_code code;
  size = fs::file_size(path, code);
  if (code || size == 0) {
    error = code ? "cannot be read" : "is empty";
    return false;
  }
  if (size > maxBytes) {
    error = "is larger than the " + SizeText(maxBytes) + " read from such a file";
    return false;
  }
  return true;
}

template <typename Buffer>
bool ReadInto(const std::string& path, std::uintmax_t maxBytes, Buffer& buffer, std::string& error) {
  std::uintmax_t size = 0;
  if (!SizeToRead(path, maxBytes, size, error)) return false;
  std::ifstream stream(path, std::ios::binary);
  buffer.resize(static_cast<size_t>(size));
  if (!stream.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(size))) {
    error = "cannot be read";
    return false;
  }
  return true;
}

}  // namespace

Kind KindOf(const std::string& path) {
  std::error_code code;
  const fs::file_status status = fs::status(path, code);
  if (!fs::exists(status)) return Kind::Missing;
  return fs::is_regular_file(status) ? Kind::Regular : Kind::Other;
}

bool Check(const std::string& path, std::string& error) {
  switch (KindOf(path)) {
    case Kind::Regular:
      return true;
    case Kind::Missing:
      error = "does not exist";
      return false;
    case Kind::Other:
      break;
  }
  error = "is not a regular file (a folder, device, FIFO or socket is never read)";
  return false;
}

bool ReadWhole(const std::string& path, std::uintmax_t maxBytes, std::vector<unsigned char>& bytes,
               std::string& error) {
  return ReadInto(path, maxBytes, bytes, error);
}

bool ReadText(const std::string& path, std::uintmax_t maxBytes, std::string& text, std::string& error) {
  return ReadInto(path, maxBytes, text, error);
}

}  // namespace regular_file
