#include "module_log.h"

#include "c4d.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
// Drops a lone '%' that a cut left at the end of a format, so it never reads a missing argument.
void TrimDanglingPercent(char* format) {
  size_t length = std::strlen(format);
  size_t percents = 0;
  while (percents < length && format[length - 1 - percents] == '%') ++percents;
  if (percents % 2 == 1) format[length - 1] = '\0';
}
}  // namespace

void ModuleLog(const char* format, ...) {
  char prefixed[1024];
  std::snprintf(prefixed, sizeof(prefixed), "--- Orvex360Cam: %s", format ? format : "");
  TrimDanglingPercent(prefixed);
  char line[1024];
  va_list arguments;
  va_start(arguments, format);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::vsnprintf(line, sizeof(line), prefixed, arguments);
#pragma GCC diagnostic pop
  va_end(arguments);
  GePrint(String(line));
}
