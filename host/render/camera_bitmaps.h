#pragma once

#include "c4d.h"
#include "image/float_image.h"
#include "runtime/bitmap_window.h"

#include <vector>

// The camera images of one frame of a multi-camera render, kept as the bitmaps an effect's merge
// reads (three float channels per pixel, alpha in the bitmap's alpha channel), and the bitmap the
// merge writes. Camera images are stored one after another from the one image the renderer
// draws into, each only as large as the part of the frame its camera rendered (a cube face, an
// eye's half): outside it reads as transparent black.
class CameraBitmaps {
 public:
  CameraBitmaps() = default;
  ~CameraBitmaps();
  CameraBitmaps(const CameraBitmaps&) = delete;
  CameraBitmaps& operator=(const CameraBitmaps&) = delete;

  // Memory that `count` camera images and the merged frame of this size take.
  static double BytesNeeded(Int32 count, Int32 width, Int32 height);

  // Makes room for `count` camera images of this size; false when the memory cannot be had. With
  // `keepBetweenFrames` (a sequence) the pixels stay from frame to frame instead of being freed
  // once used: each frame stores the same windows again without mapping fresh memory.
  bool Allocate(Int32 count, Int32 width, Int32 height, bool keepBetweenFrames = false);
  bool KeepsBetweenFrames() const { return keepBetweenFrames_; }

  Int32 Count() const { return static_cast<Int32>(colour_.size()); }
  const BaseBitmap* const* Sources() const { return sources_.data(); }
  BaseBitmap* Destination() const { return destination_; }

  // Keeps camera `camera`'s finished image (same size as allocated), alpha in the bitmap's own
  // channel: only the rectangle around its pixels that are not transparent black takes memory.
  // Those pixels are looked for within `drawn`, every pixel outside which is transparent black.
  // False when that memory cannot be had.
  bool Store(Int32 camera, const FloatImage& image, const PixelWindow& drawn);
  // The rectangle of the frame camera `camera`'s stored image keeps.
  PixelWindow StoredWindow(Int32 camera) const;
  // Gives the merged bitmap its pixels (cleared); false when the memory cannot be had.
  bool PrepareDestination();
  // Frees the pixels of the camera images and the merged bitmap once the frame has them, so that
  // they take no memory while the frame is written (kept between frames when asked).
  void ReleaseFrame();
  // Frees the camera images' pixels once the merge has read them (kept between frames when asked).
  void ReleaseSources();
  // Camera `camera`'s image as it was stored; `image` is sized (allocated) to the frame when it is
  // not. False when that memory cannot be had.
  bool Load(Int32 camera, FloatImage& image) const;
  // The merged bitmap, colour and the alpha carried through the merge, into `frame`, sized as Load.
  bool LoadMerged(FloatImage& frame) const;

 private:
  void Release();
  bool LoadBitmap(const BaseBitmap& bitmap, FloatImage& image) const;

  std::vector<BaseBitmap*> colour_;         // owned
  std::vector<const BaseBitmap*> sources_;  // the same, as the merge takes them
  BaseBitmap* destination_ = nullptr;
  Int32 width_ = 0;
  Int32 height_ = 0;
  bool keepBetweenFrames_ = false;
};
