#pragma once

#include "c4d.h"

#include <atomic>
#include <mutex>
#include <string>

// A one-line progress bar on the terminal (stderr), redrawn when the percentage changes and ended
// with a line break, so that console lines after it start on a line of their own. Safe to advance
// from many render threads; does nothing when switched off.
class ProgressBar {
 public:
  ProgressBar(std::string label, Int64 total, bool enabled);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Advance(Int64 steps = 1);
  // Ends the bar's line (also done by the destructor).
  void Finish();

 private:
  void Draw(Int32 percent) const;

  std::string label_;
  Int64 total_;
  bool enabled_;
  std::atomic<Int64> done_{0};
  std::atomic<Int32> shownPercent_{-1};
  std::mutex drawing_;
};

// Whether stderr is a terminal, where a progress bar makes sense.
bool StderrIsTerminal();
