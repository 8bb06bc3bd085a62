#include "image_limits.h"

#include "base/memory_budget.h"

#include <cstdio>

namespace image_limits {

bool CheckBeforeDecode(const std::string& path, const image_codec::Header& header, std::string& error) {
  const double pixels = static_cast<double>(header.width) * header.height;
  const std::string size = std::to_string(header.width) + " x " + std::to_string(header.height) + " pixels";
  if (header.width <= 0 || header.height <= 0 || header.channels <= 0) {
    error = "the image \"" + path + "\" has no pixels";
    return false;
  }
  if (pixels > kMaxPixels) {
    char limit[64];
    std::snprintf(limit, sizeof(limit), "%.0f million pixels (16384 x 8192)", kMaxPixels / 1e6);
    error = "the image \"" + path + "\" is " + size + "; images of at most " + limit + " are read";
    return false;
  }
  // The decoded floats of every channel, and the four float channels kept afterwards.
  const double bytes = pixels * (header.channels + 4) * sizeof(float);
  if (!memory_budget::Fits(bytes)) {
    error = "the image \"" + path + "\" (" + size + ") needs " + memory_budget::FormatBytes(bytes) +
            " to read, more than the " + memory_budget::FormatBytes(memory_budget::AvailableBytes()) +
            " of memory available";
    return false;
  }
  return true;
}

bool CheckFile(const std::string& path, std::string& error) {
  image_codec::Reader reader;
  if (std::string reason; !reader.Open(path, reason)) {
    error = "cannot read the image \"" + path + "\": " + reason;
    return false;
  }
  return CheckBeforeDecode(path, reader.header(), error);
}

}  // namespace image_limits
