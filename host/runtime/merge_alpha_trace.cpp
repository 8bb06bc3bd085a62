#include "merge_alpha_trace.h"

#include <algorithm>

MergeAlphaTrace::MergeAlphaTrace(BaseBitmap& destination)
    : destination_(destination), rowAlpha_(static_cast<size_t>(std::max(0, destination.GetBw())), 0.0f) {}

void MergeAlphaTrace::Read(const BaseBitmap& source, Int32 x, Int32 y, Int32 count) {
  if (&source != &destination_ && source.HasAlpha()) NoteAlpha(source, x, y, count);
}

void MergeAlphaTrace::Write(const BaseBitmap& target, Int32 x, Int32 y, Int32 count) {
  if (&target == &destination_) WriteAlpha(x, y, count);
}

void MergeAlphaTrace::NoteAlpha(const BaseBitmap& source, Int32 x, Int32 y, Int32 count) {
  if (y != rowY_) {
    std::fill(rowAlpha_.begin(), rowAlpha_.end(), 0.0f);
    rowY_ = y;
  }
  const Int32 end = std::min<Int32>(x + count, static_cast<Int32>(rowAlpha_.size()));
  for (Int32 column = std::max(0, x); column < end; ++column)
    rowAlpha_[column] = std::max(rowAlpha_[column], static_cast<Float32>(source.GetAlpha(column, y)));
}

void MergeAlphaTrace::WriteAlpha(Int32 x, Int32 y, Int32 count) {
  const Int32 end = std::min<Int32>(x + count, static_cast<Int32>(rowAlpha_.size()));
  for (Int32 column = std::max(0, x); column < end; ++column)
    destination_.SetAlpha(column, y, y == rowY_ ? rowAlpha_[column] : 0.0f);
}
