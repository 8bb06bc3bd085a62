#pragma once

#include "c4d.h"
#include "runtime/bitmap_window.h"

#include <vector>

// The part of the frame one camera of a render answers: per row, the columns from the first to
// the last pixel whose ray the lens did not refuse (a zero direction), and the rectangle around
// them all. A cube face's camera, or an eye's camera of a side-by-side pair, answers only its own
// cells of the frame.
//
// Learned from the lens in the camera's first render: every pixel is asked then, or every pixel of
// the rectangle a probe of the lens vouched for. Later frames ask only within the learned columns.
// That holds because a lens's settings do not change during a render here (animation moves objects
// and cameras, never parameters), and where a lens refuses a pixel depends only on its settings, not
// on where its camera stands.
class CameraArea {
 public:
  // Columns [begin, end) of one row; empty when begin >= end.
  struct Columns {
    Int32 begin = 0;
    Int32 end = 0;
  };

  // Forgets what was learned: the next render of the camera asks every pixel of a frame this size.
  void Reset(Int32 width, Int32 height);

  bool IsLearned() const { return learned_; }
  // While learning, asks only the pixels of `window`: the lens refuses every pixel outside it.
  void LearnWithin(const PixelWindow& window) { learning_ = window; }
  // The columns of row y to ask: the whole row (of the learning window) until learned.
  Columns ToAsk(Int32 y) const { return learned_ ? answered_[static_cast<size_t>(y)] : LearningColumns(y); }
  // While learning, the columns of row y whose rays the lens answered. Each row is written by the
  // one thread that renders it.
  void Answered(Int32 y, Columns columns) {
    if (!learned_) answered_[static_cast<size_t>(y)] = columns;
  }
  // Called after the camera's first render has asked every row, on one thread.
  void FinishLearning();
  // The rectangle around every answered pixel (empty when the lens refused them all); the whole
  // frame until learned.
  const PixelWindow& Bounds() const { return bounds_; }

 private:
  Columns LearningColumns(Int32 y) const {
    if (y < learning_.top || y >= learning_.top + learning_.height) return {};
    return {learning_.left, learning_.left + learning_.width};
  }

  std::vector<Columns> answered_;
  PixelWindow learning_;
  Int32 width_ = 0;
  PixelWindow bounds_;
  bool learned_ = false;
};
