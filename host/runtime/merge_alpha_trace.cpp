#include "merge_alpha_trace.h"

#include "bitmap_record.h"

#include <algorithm>

MergeAlphaTrace::MergeAlphaTrace(BaseBitmap& destination)
    : destination_(destination), rowAlpha_(static_cast<size_t>(std::max(0, destination.GetBw())), 0.0f) {}

void MergeAlphaTrace::Read(const BaseBitmap& source, Int32 x, Int32 y, Int32 count) {
  if (&source != &destination_ && source.HasAlpha()) NoteAlpha(source, x, y, count);
}

void MergeAlphaTrace::Write(const BaseBitmap& target, Int32 x, Int32 y, Int32 count) {
  if (&target == &destination_) WriteAlpha(x, y, count);
}

namespace {

// The columns of the run of `count` pixels from (x, y) that lie both in the traced row (of
// `rowWidth` columns) and in the bitmap's stored window, and the index of the first one's alpha.
struct AlphaRun {
  Int32 begin = 0;
  Int32 end = 0;
  size_t first = 0;
};

AlphaRun StoredAlphaRun(const BitmapRecord& record, Int32 x, Int32 y, Int32 count, Int32 rowWidth) {
  const Int32 from = std::max(0, x);
  const BitmapRecord::StoredRun run = record.StoredPart(from, y, std::min(x + count, rowWidth) - from);
  if (run.begin >= run.end) return {};
  return {run.begin, run.end, record.Index(run.begin - record.left, y - record.top)};
}

}  // namespace

// Straight on the bitmaps' alpha rows: a merge reads and writes every pixel of the frame.
void MergeAlphaTrace::NoteAlpha(const BaseBitmap& source, Int32 x, Int32 y, Int32 count) {
  if (y != rowY_) {
    std::fill(rowAlpha_.begin(), rowAlpha_.end(), 0.0f);
    rowY_ = y;
  }
  // Outside the stored window alpha reads 0, which the largest alpha so far (at least 0) keeps.
  const BitmapRecord& record = source.GetRecord();
  const AlphaRun run = StoredAlphaRun(record, x, y, count, static_cast<Int32>(rowAlpha_.size()));
  const Float32* alpha = record.alpha.data() + run.first;
  for (Int32 column = run.begin; column < run.end; ++column, ++alpha)
    rowAlpha_[column] = std::max(rowAlpha_[column], *alpha);
}

void MergeAlphaTrace::WriteAlpha(Int32 x, Int32 y, Int32 count) {
  if (!destination_.HasAlpha()) return;
  BitmapRecord& record = destination_.GetRecord();
  const AlphaRun run = StoredAlphaRun(record, x, y, count, static_cast<Int32>(rowAlpha_.size()));
  Float32* alpha = record.alpha.data() + run.first;
  if (y == rowY_) {
    std::copy(rowAlpha_.begin() + run.begin, rowAlpha_.begin() + run.end, alpha);
  } else {
    std::fill(alpha, alpha + (run.end - run.begin), 0.0f);
  }
}
