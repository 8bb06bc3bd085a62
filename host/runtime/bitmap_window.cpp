#include "bitmap_window.h"

#include "bitmap_record.h"

#include <algorithm>
#include <new>

bool InitWindowBitmapUncleared(BaseBitmap& bitmap, Int32 frameWidth, Int32 frameHeight,
                               const PixelWindow& window) {
  BitmapRecord& record = bitmap.GetRecord();
  // The pixels of a window of the same size are kept (a camera image stored again each frame), so
  // that storing it maps no fresh memory.
  BitmapRecord kept;
  kept.rgb.swap(record.rgb);
  kept.alpha.swap(record.alpha);
  record = BitmapRecord();
  const bool inside = frameWidth > 0 && frameHeight > 0 && window.left >= 0 && window.top >= 0 &&
                      window.width >= 0 && window.height >= 0 && window.left <= frameWidth - window.width &&
                      window.top <= frameHeight - window.height;
  if (!inside) return false;
  const size_t pixels = window.IsEmpty() ? 0 : static_cast<size_t>(window.width) * window.height;
  if (kept.rgb.size() == pixels * 3 && kept.alpha.size() == std::max<size_t>(pixels, 1)) {
    record.rgb.swap(kept.rgb);
    record.alpha.swap(kept.alpha);
  }
  try {
    record.rgb.resize(pixels * 3);
    // Present even when empty, so that the bitmap counts as one with alpha.
    record.alpha.resize(pixels == 0 ? 1 : pixels);
  } catch (const std::bad_alloc&) {
    record = BitmapRecord();
    return false;
  }
  record.width = pixels == 0 ? 0 : window.width;
  record.height = pixels == 0 ? 0 : window.height;
  record.left = window.left;
  record.top = window.top;
  record.frameWidth = frameWidth;
  record.frameHeight = frameHeight;
  return true;
}

bool InitWindowBitmap(BaseBitmap& bitmap, Int32 frameWidth, Int32 frameHeight, const PixelWindow& window) {
  if (!InitWindowBitmapUncleared(bitmap, frameWidth, frameHeight, window)) return false;
  BitmapRecord& record = bitmap.GetRecord();
  std::fill(record.rgb.begin(), record.rgb.end(), 0.0f);
  std::fill(record.alpha.begin(), record.alpha.end(), 0.0f);
  return true;
}
