#pragma once

#include "c4d.h"

// A rectangle of pixels: columns [left, left + width), rows [top, top + height).
struct PixelWindow {
  Int32 left = 0;
  Int32 top = 0;
  Int32 width = 0;
  Int32 height = 0;

  bool IsEmpty() const { return width <= 0 || height <= 0; }
};

// Makes `bitmap` a frameWidth x frameHeight bitmap with alpha that stores only the pixels of
// `window` (cleared); every pixel outside reads as transparent black and takes no memory.
// False (and an empty bitmap) when the window does not lie inside the frame or memory runs out.
bool InitWindowBitmap(BaseBitmap& bitmap, Int32 frameWidth, Int32 frameHeight, const PixelWindow& window);
// The same with the window's pixels left undefined, for a caller that writes every one of them next.
bool InitWindowBitmapUncleared(BaseBitmap& bitmap, Int32 frameWidth, Int32 frameHeight,
                               const PixelWindow& window);
