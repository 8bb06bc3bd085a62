#pragma once

#include "c4d.h"

#include <memory>
#include <string>

// Frees a host bitmap when its owner goes.
struct BitmapFree {
  void operator()(BaseBitmap* bitmap) const { BaseBitmap::Free(bitmap); }
};
using BitmapPtr = std::unique_ptr<BaseBitmap, BitmapFree>;

// Writes a bitmap as an 8-bit image (PNG, JPEG, TIFF by the file's suffix), with alpha when it has
// one. False with `error` for an empty bitmap or a file that cannot be written.
bool SaveBitmap(const BaseBitmap& bitmap, const std::string& path, std::string& error);
