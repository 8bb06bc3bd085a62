#include "source_date.h"

#include <cerrno>
#include <cstdlib>

namespace {

std::string FormatUtc(std::time_t when, const char* format) {
  std::tm parts{};
  if (!gmtime_r(&when, &parts)) return {};
  char text[32];
  return std::strftime(text, sizeof(text), format, &parts) ? text : std::string();
}

}  // namespace

std::time_t SourceDate() {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch && *epoch) {
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(epoch, &end, 10);
    if (errno == 0 && *end == '\0' && seconds >= 0) return static_cast<std::time_t>(seconds);
  }
  return std::time(nullptr);
}

std::string IsoDateUtc(std::time_t when) { return FormatUtc(when, "%Y-%m-%dT%H:%M:%SZ"); }

std::string ExifDateUtc(std::time_t when) { return FormatUtc(when, "%Y:%m:%d %H:%M:%S"); }
