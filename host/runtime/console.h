#pragma once

#include <string>
#include <vector>

// The host console: every GePrint line is echoed (unless silenced) and kept for tests and the CLI.
namespace console {
void Print(const std::string& line);
std::vector<std::string> Lines();
void Clear();
void SetEcho(bool echo);
// Quiet: only lines that report a problem (an error, a refusal, something missing, switched off or
// skipped) are echoed; every line is still kept.
void SetEchoProblemsOnly();
// Whether the line reports a problem; console lines carry no severity of their own, their words do.
bool ReportsProblem(const std::string& line);

// Lines printed while a frame renders (its evaluation, camera and merge phases) are routine unless
// they report a problem: a long sequence would bury everything else under them. They are echoed
// only when frame lines are switched on (orvex360 render --verbose), problems always; every line
// is kept.
void SetEchoFrameLines(bool echo);
class ScopedFrameLines {
 public:
  ScopedFrameLines();
  ~ScopedFrameLines();
  ScopedFrameLines(const ScopedFrameLines&) = delete;
  ScopedFrameLines& operator=(const ScopedFrameLines&) = delete;
};

// While one lives, lines are neither echoed nor kept: for the host's own questions to a module
// (a lens asked outside a render), whose phases the render itself logs again.
class ScopedMute {
 public:
  ScopedMute();
  ~ScopedMute();
  ScopedMute(const ScopedMute&) = delete;
  ScopedMute& operator=(const ScopedMute&) = delete;
};
}  // namespace console
