#include "progress_bar.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace {
constexpr Int32 kBarWidth = 40;
}  // namespace

bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

ProgressBar::ProgressBar(std::string label, Int64 total, bool enabled,
                         std::chrono::steady_clock::duration quietFor)
    : label_(std::move(label)),
      total_(total > 0 ? total : 1),
      enabled_(enabled),
      terminal_(StderrIsTerminal()),
      quietUntil_(std::chrono::steady_clock::now() + quietFor) {
  if (enabled_) Advance(0);
}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::Advance(Int64 steps) {
  if (!enabled_) return;
  const Int64 done = done_ += steps;
  const Int32 percent = static_cast<Int32>(done * 100 / total_);
  if (percent <= shownPercent_.load(std::memory_order_relaxed)) return;
  // At most a hundred times per bar: the lock keeps the drawn percentages in order.
  const std::lock_guard lock(drawing_);
  if (percent <= shownPercent_) return;
  shownPercent_ = percent;
  if (terminal_)
    Draw(percent);
  else
    Line(percent);
}

void ProgressBar::Line(Int32 percent) const {
  if (percent % 10 != 0 || percent == 0 || std::chrono::steady_clock::now() < quietUntil_) return;
  std::fprintf(stderr, "%s: %d%%\n", label_.c_str(), percent);
  std::fflush(stderr);
}

void ProgressBar::Draw(Int32 percent) const {
  const Int32 filled = percent * kBarWidth / 100;
  const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
  std::fprintf(stderr, "\r%s [%s] %3d%%", label_.c_str(), bar.c_str(), percent);
  std::fflush(stderr);
}

void ProgressBar::Finish() {
  if (!enabled_) return;
  enabled_ = false;
  if (!terminal_) return;
  std::fputc('\n', stderr);
  std::fflush(stderr);
}
