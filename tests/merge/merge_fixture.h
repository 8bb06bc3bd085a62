#pragma once

#include "orvex360camvp/orvex360camvp.h"
#include "orvex360camvp/render_state.h"
#include "runtime/bitmap_io.h"
#include "runtime/console.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

inline orvex::RenderArea Area(Float startX, Float startY, Float endX, Float endY) {
  return {Vector(startX, startY, 0.0), Vector(endX, endY, 0.0)};
}

// An effect with a render state built by hand as sequence start leaves it for the merge, camera
// images and a destination to merge into.
class MergeFixture : public ::testing::Test {
 protected:
  static constexpr Float kUntouched = -7.0;  // never written by the merge

  void SetUp() override {
    console::SetEcho(false);
    console::Clear();
    effect_.reset(static_cast<Orvex360CamVP*>(Orvex360CamVP::Alloc()));
  }

  RenderState& State() { return effect_->state; }

  // Two eyes of one face each over the whole frame; face 0 is eye slot 0's view, as for every
  // projection but the cubemap.
  void SetStereoPair(Int32 width, Int32 height) {
    PlaceEyes(width, height, 2);
    State().facesPerEye = 1;
    State().cameraCount = 2;
    State().faces[0] = State().eyes[0];
  }

  void SetAnaglyph(Int32 colors, Int32 method) {
    State().stereoOutput = ORVEXVP_STEREO_MODE_ANAGLYPH;
    State().anaglyphColors = colors;
    State().anaglyphMethod = method;
  }

  template <typename ColourAt>
  static BitmapPtr MakeImage(Int32 width, Int32 height, ColourAt colourAt) {
    BitmapPtr image(BaseBitmap::Alloc());
    EXPECT_EQ(image->Init(width, height, 24), IMAGERESULT_OK);
    for (Int32 y = 0; y < height; ++y)
      for (Int32 x = 0; x < width; ++x) image->SetPixelFloat(x, y, colourAt(x, y));
    return image;
  }
  static BitmapPtr MakeImage(Int32 width, Int32 height, const Vector& colour = Vector()) {
    return MakeImage(width, height, [&](Int32, Int32) { return colour; });
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
    destination_ = MakeImage(width, height, Vector(kUntouched));
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

  // Each eye over the whole frame.
  void PlaceEyes(Int32 width, Int32 height, Int32 eyeCount) {
    State().eyeCount = eyeCount;
    for (Int32 slot = 0; slot < eyeCount; ++slot) {
      State().eyes[slot].area = Area(0, 0, width - 1.0, height - 1.0);
      State().eyes[slot].index = slot;
    }
  }
};
