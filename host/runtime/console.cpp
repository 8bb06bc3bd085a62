#include "console.h"

#include "c4d_general.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
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
enum class Echo { All, Problems, None };

int& MuteDepth() {
  static int depth = 0;
  return depth;
}

int& FrameDepth() {
  static int depth = 0;
  return depth;
}

bool& EchoFrameLines() {
  static bool echo = false;
  return echo;
}

Echo& EchoMode() {
  static Echo echo = Echo::All;
  return echo;
}

// Words of the lines that tell of a problem, in lower case.
constexpr const char* kProblemWords[] = {
    "error",      "refused", "failed",   "cannot",       "missing",   "not found",   "not loaded",
    "skipped",    "off:",    "no orvex", "not switched", "ignored",   "damaged",     "not supported",
    "nothing to", "is cut",  "no alpha", "were used as", "no longer", "not recorded"};
}  // namespace

bool ReportsProblem(const std::string& line) {
  std::string lower = line;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::any_of(std::begin(kProblemWords), std::end(kProblemWords),
                     [&lower](const char* word) { return lower.find(word) != std::string::npos; });
}

void Print(const std::string& line) {
  const std::lock_guard lock(Guard());
  if (MuteDepth() > 0) return;
  Kept().push_back(line);
  const bool routine = EchoMode() == Echo::All && (FrameDepth() == 0 || EchoFrameLines());
  if (routine || (EchoMode() != Echo::None && ReportsProblem(line))) {
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
  EchoMode() = echo ? Echo::All : Echo::None;
}

ScopedMute::ScopedMute() {
  const std::lock_guard lock(Guard());
  ++MuteDepth();
}

ScopedMute::~ScopedMute() {
  const std::lock_guard lock(Guard());
  --MuteDepth();
}

void SetEchoFrameLines(bool echo) {
  const std::lock_guard lock(Guard());
  EchoFrameLines() = echo;
}

ScopedFrameLines::ScopedFrameLines() {
  const std::lock_guard lock(Guard());
  ++FrameDepth();
}

ScopedFrameLines::~ScopedFrameLines() {
  const std::lock_guard lock(Guard());
  --FrameDepth();
}

void SetEchoProblemsOnly() {
  const std::lock_guard lock(Guard());
  EchoMode() = Echo::Problems;
}
}  // namespace console

void GePrint(const String& line) { console::Print(line.GetStdString()); }
