#include "image_limits.h"

#include "memory_budget.h"

#include <cstdio>

namespace image_limits {

bool CheckBeforeDecode(const std::string& path, const OIIO::ImageSpec& spec, std::string& error) {
  const double pixels = static_cast<double>(spec.width) * spec.height;
  const std::string size = std::to_string(spec.width) + " x " + std::to_string(spec.height) + " pixels";
  if (spec.width <= 0 || spec.height <= 0 || spec.nchannels <= 0) {
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
  const double bytes = pixels * (spec.nchannels + 4) * sizeof(float);
  if (!memory_budget::Fits(bytes)) {
    error = "the image \"" + path + "\" (" + size + ") needs " + memory_budget::FormatBytes(bytes) +
            " to read, more than the " + memory_budget::FormatBytes(memory_budget::AvailableBytes()) +
            " of memory available";
    return false;
  }
  return true;
}

bool CheckFile(const std::string& path, std::string& error) {
  auto input = OIIO::ImageInput::open(path);
  if (!input) {
    error = "cannot read the image \"" + path + "\": " + OIIO::geterror();
    return false;
  }
  return CheckBeforeDecode(path, input->spec(), error);
}

}  // namespace image_limits
