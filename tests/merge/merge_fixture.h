#pragma once

#include "merge_scenes.h"
#include "orvex360camvp/orvex360camvp.h"
#include "runtime/console.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// An effect with a hand-made render state, camera images and a destination to merge into.
class MergeFixture : public ::testing::Test {
 protected:
  static constexpr Float kUntouched = -7.0;  // never written by the merge

  struct BitmapDeleter {
    void operator()(BaseBitmap* bitmap) const { BaseBitmap::Free(bitmap); }
  };
  using BitmapPtr = std::unique_ptr<BaseBitmap, BitmapDeleter>;

  void SetUp() override {
    console::SetEcho(false);
    console::Clear();
    effect_.reset(static_cast<Orvex360CamVP*>(Orvex360CamVP::Alloc()));
  }

  RenderState& State() { return effect_->state; }

  template <typename ColourAt>
  static BitmapPtr MakeImage(Int32 width, Int32 height, ColourAt colourAt) {
    BitmapPtr image(BaseBitmap::Alloc());
    EXPECT_EQ(image->Init(width, height, 24), IMAGERESULT_OK);
    for (Int32 y = 0; y < height; ++y)
      for (Int32 x = 0; x < width; ++x) image->SetPixelFloat(x, y, colourAt(x, y));
    return image;
  }

  // Camera images with colourAt(k, x, y) and an untouched destination of the same size.
  template <typename ColourAt>
  void MakeImages(Int32 cameras, Int32 width, Int32 height, ColourAt colourAt) {
    images_.clear();
    sources_.clear();
    for (Int32 k = 0; k < cameras; ++k) {
      images_.push_back(MakeImage(width, height, [&](Int32 x, Int32 y) { return colourAt(k, x, y); }));
      sources_.push_back(images_.back().get());
    }
    destination_ = MakeImage(width, height, [](Int32, Int32) { return Vector(kUntouched); });
  }

  // Camera k's pixel (x, y) is (k + 1, x, y): a merged pixel tells which camera and place it came from.
  void MakeSignedImages(Int32 cameras, Int32 width, Int32 height) {
    MakeImages(cameras, width, height, [](Int32 k, Int32 x, Int32 y) { return Vector(k + 1.0, x, y); });
  }

  Bool Merge() {
    return effect_->StereoMergeImages(nullptr, destination_.get(), sources_.data(),
                                      static_cast<Int32>(sources_.size()), BaseContainer(),
                                      COLORSPACETRANSFORMATION_NONE);
  }

  Vector Out(Int32 x, Int32 y) const { return destination_->GetPixelFloat(x, y); }

  // The camera a merged signed pixel came from, -1 for black; a pixel from another place fails.
  Int32 CameraAt(Int32 x, Int32 y) const {
    const Vector pixel = Out(x, y);
    if (pixel == Vector()) return -1;
    EXPECT_EQ(Vector(pixel.x, x, y), pixel) << "pixel (" << x << ", " << y << ") came from another place";
    return static_cast<Int32>(pixel.x) - 1;
  }

  Bool DestinationUntouched() const {
    for (Int32 y = 0; y < destination_->GetBh(); ++y)
      for (Int32 x = 0; x < destination_->GetBw(); ++x)
        if (Out(x, y) != Vector(kUntouched)) return false;
    return true;
  }

  std::unique_ptr<Orvex360CamVP> effect_;
  std::vector<BitmapPtr> images_;
  std::vector<const BaseBitmap*> sources_;
  BitmapPtr destination_;
};
