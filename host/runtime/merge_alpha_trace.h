#pragma once

#include "bitmap_watcher.h"
#include "c4d.h"

#include <vector>

// Carries alpha through an effect's merge, which copies colour only, without a second merge call.
// While a trace watches the calling thread's bitmaps, every colour read from a bitmap with alpha notes
// that alpha under the pixels read, and every colour write to the traced destination gives those
// pixels the largest alpha noted there on the same row. This relies on the merge writing each pixel
// where it read it (the camera images are frame-sized), and on it running on the calling thread.
class MergeAlphaTrace final : public BitmapWatcher {
 public:
  // Starts tracing writes to `destination`, which must have an alpha channel.
  explicit MergeAlphaTrace(BaseBitmap& destination);

  void Read(const BaseBitmap& source, Int32 x, Int32 y, Int32 count) override;
  void Write(const BaseBitmap& target, Int32 x, Int32 y, Int32 count) override;

 private:
  void NoteAlpha(const BaseBitmap& source, Int32 x, Int32 y, Int32 count);
  void WriteAlpha(Int32 x, Int32 y, Int32 count);

  BaseBitmap& destination_;
  std::vector<Float32> rowAlpha_;  // the largest alpha read per column of row rowY_
  Int32 rowY_ = -1;
};
