#include "source_date.h"

#include <cstdlib>
#include <optional>

namespace {

std::string FormatUtc(std::time_t when, const char* format) {
  std::tm parts{};
  if (!gmtime_r(&when, &parts)) return {};
  char text[32];
  return std::strftime(text, sizeof(text), format, &parts) ? text : std::string();
}

// The seconds `text` names: digits only (no sign, blank or suffix), at most kLastSourceDate.
std::optional<long long> EpochSeconds(const std::string& text) {
  long long seconds = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    seconds = seconds * 10 + (c - '0');
    if (seconds > kLastSourceDate) return std::nullopt;
  }
  return seconds;
}

}  // namespace

bool CheckSourceDateEpoch(std::string& error) {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (!epoch || !*epoch || EpochSeconds(epoch)) return true;
  error = "SOURCE_DATE_EPOCH takes whole seconds since 1970 from 0 to " + std::to_string(kLastSourceDate) +
          " (" + IsoDateUtc(static_cast<std::time_t>(kLastSourceDate)) + "), digits only; got \"" + epoch +
          "\"";
  return false;
}

std::time_t SourceDate() {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch && *epoch)
    if (const std::optional<long long> seconds = EpochSeconds(epoch))
      return static_cast<std::time_t>(*seconds);
  return std::time(nullptr);
}

std::string IsoDateUtc(std::time_t when) { return FormatUtc(when, "%Y-%m-%dT%H:%M:%SZ"); }

std::string ExifDateUtc(std::time_t when) { return FormatUtc(when, "%Y:%m:%d %H:%M:%S"); }
