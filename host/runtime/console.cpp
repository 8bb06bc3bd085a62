#include "console.h"

#include "c4d_general.h"

#include <cstdio>
#include <mutex>

namespace console {
namespace {
std::mutex& Guard() {
  static std::mutex mutex;
  return mutex;
}
std::vector<std::string>& Kept() {
  static std::vector<std::string> lines;
  return lines;
}
bool& Echo() {
  static bool echo = true;
  return echo;
}
}  // namespace

void Print(const std::string& line) {
  const std::lock_guard lock(Guard());
  Kept().push_back(line);
  if (Echo()) {
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
  }
}

std::vector<std::string> Lines() {
  const std::lock_guard lock(Guard());
  return Kept();
}

void Clear() {
  const std::lock_guard lock(Guard());
  Kept().clear();
}

void SetEcho(bool echo) {
  const std::lock_guard lock(Guard());
  Echo() = echo;
}
}  // namespace console

void GePrint(const String& line) { console::Print(line.GetStdString()); }
