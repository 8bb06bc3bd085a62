#pragma once

#include "c4d.h"

#include <vector>

// Carries alpha through an effect's merge, which copies colour only, without a second merge call.
// While a trace is active on the calling thread, every colour read from a bitmap with alpha notes
// that alpha under the pixels read, and every colour write to the traced destination gives those
// pixels the largest alpha noted there on the same row. This relies on the merge writing each pixel
// where it read it (the camera images are frame-sized), and on it running on the calling thread.
class MergeAlphaTrace {
 public:
  // Starts tracing writes to `destination`, which must have an alpha channel.
  explicit MergeAlphaTrace(BaseBitmap& destination);
  ~MergeAlphaTrace();
  MergeAlphaTrace(const MergeAlphaTrace&) = delete;
  MergeAlphaTrace& operator=(const MergeAlphaTrace&) = delete;

  // Called by the host's bitmaps on every colour read and write; nothing happens without a trace.
  static void NoteRead(const BaseBitmap& source, Int32 x, Int32 y, Int32 count);
  static void NoteWrite(const BaseBitmap& target, Int32 x, Int32 y, Int32 count);

 private:
  void Read(const BaseBitmap& source, Int32 x, Int32 y, Int32 count);
  void Write(Int32 x, Int32 y, Int32 count);

  BaseBitmap& destination_;
  std::vector<Float32> rowAlpha_;  // the largest alpha read per column of row rowY_
  Int32 rowY_ = -1;
};
