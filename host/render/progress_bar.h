#pragma once

#include "c4d.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

// A render's progress on stderr. On a terminal: a one-line bar redrawn when the percentage changes
// and ended with a line break, so that console lines after it start on a line of their own.
// Elsewhere (a log, a farm's output): nothing for a render that ends within `quietFor`, then a line
// at every tenth, so that a long render is never silent. Safe to advance from many render threads;
// does nothing when switched off.
class ProgressBar {
 public:
  static constexpr std::chrono::seconds kQuietFor{10};

  ProgressBar(std::string label, Int64 total, bool enabled,
              std::chrono::steady_clock::duration quietFor = kQuietFor);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Advance(Int64 steps = 1);
  // Ends the bar's line (also done by the destructor).
  void Finish();

 private:
  void Draw(Int32 percent) const;
  void Line(Int32 percent) const;

  std::string label_;
  Int64 total_;
  bool enabled_;
  bool terminal_;
  std::chrono::steady_clock::time_point quietUntil_;
  std::atomic<Int64> done_{0};
  std::atomic<Int32> shownPercent_{-1};
  std::mutex drawing_;
};

// Whether stderr is a terminal, where a progress bar makes sense.
bool StderrIsTerminal();
