#include "geometry/cubemap_layout.h"
#include "orvex360camvp/anaglyph.h"
#include "orvex360camvp/merge_spans.h"
#include "orvex360camvp/orvex360camvp.h"
#include "orvex360camvp/render_state.h"
#include "runtime/bitmap_io.h"
#include "runtime/console.h"
#include "test_scene.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

// The stereo merge and its parts: the anaglyph mix, the row spans cut from the faces' areas, the
// refusals, and the merge cases the real renders in tests/stereo never reach (each side-by-side
// layout and flip, every interlace pattern, the anaglyph methods, swapped eyes and every cubemap
// layout, mono and side by side, are checked there, through real renders, pixel for pixel).

namespace {

orvex::RenderArea Area(Float startX, Float startY, Float endX, Float endY) {
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
    return SamePixels(*destination_,
                      *MakeImage(destination_->GetBw(), destination_->GetBh(), Vector(kUntouched)));
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

// Eye slot 0's colour and slot 1's.
constexpr Vector kSlot0(0.2, 0.4, 0.6);
constexpr Vector kSlot1(0.1, 0.5, 0.9);

// The methods and colour pairs at gamma 1 and above are checked pixel for pixel through real renders
// in tests/stereo; here the gamma corner cases and unknown values.
TEST(AnaglyphMix, GammaCornerCasesAndUnknownValues) {
  const Float luma0 = 0.299 * 0.2 + 0.587 * 0.4 + 0.114 * 0.6,
              luma1 = 0.299 * 0.1 + 0.587 * 0.5 + 0.114 * 0.9;
  const struct {
    Int32 colors, method;
    Float gamma;
    Vector expected;
  } cases[] = {
      {0, 1, 2.0, {0.2, 0.5, 0.9}},                    // colour ignores gamma
      {0, 3, 0.5, {0.7 * 0.4 + 0.3 * 0.6, 0.5, 0.9}},  // optimized, gamma below 1
      {0, 5, 1.0, {luma0, 0.0, luma1}},                // an unknown method is true
      {1, 3, 2.0, {0.2, 0.5, 0.0}},                    // red-green
  };
  for (const auto& c : cases) {
    const Vector mixed = MixAnaglyph(MakeAnaglyphMix(c.colors, c.method, c.gamma), kSlot0, kSlot1);
    EXPECT_NEAR((mixed - c.expected).GetLength(), 0.0, 1e-12)
        << c.colors << " " << c.method << " " << c.gamma;
  }
}

TEST(AnaglyphMix, GammaOnANegativeRedKeepsItsSignInsteadOfTurningNaN) {
  const Vector mixed = MixAnaglyph(MakeAnaglyphMix(0, 3, 2.0), Vector(0.0, -0.64, 0.0), kSlot1);
  EXPECT_NEAR(mixed.x, -std::sqrt(0.7 * 0.64), 1e-12);
}

const std::string kMergeLine = "--- Orvex360Cam: Stereo MERGE!";

class MergeRefusal : public MergeFixture {
 protected:
  void SetUp() override {
    MergeFixture::SetUp();
    SetStereoPair(4, 3);
    MakeSignedImages(2, 4, 3);
  }

  void ExpectRefusedWith(const std::string& message) {
    console::Clear();
    EXPECT_FALSE(Merge());
    EXPECT_TRUE(DestinationUntouched());
    EXPECT_EQ(console::Lines(), (std::vector<std::string>{kMergeLine, "--- Orvex360Cam: " + message}));
  }
};

TEST_F(MergeRefusal, OneCameraOrAnEditorRenderIsNotMergedAndLogsNoError) {
  State().cameraCount = 1;
  EXPECT_FALSE(Merge());
  State().cameraCount = 2;
  State().editorRender = 1;
  EXPECT_FALSE(Merge());
  EXPECT_TRUE(DestinationUntouched());
  EXPECT_EQ(console::Lines(), (std::vector<std::string>{kMergeLine, kMergeLine}));
}

TEST_F(MergeRefusal, SourcesOfAnotherSize) {
  sources_[1] = (images_[1] = MakeImage(4, 2)).get();
  ExpectRefusedWith("Merge error: channel [1] size differ [4/2]");
  sources_[0] = (images_[0] = MakeImage(3, 3)).get();
  ExpectRefusedWith("Merge error: source size [3/3] != dest [4/3]");
}

TEST_F(MergeRefusal, FewerImagesThanCamerasAreNeverReadPast) {
  State().facesPerEye = 6;  // a stereo cubemap
  State().cameraCount = 12;
  MakeSignedImages(6, 4, 3);
  sources_.shrink_to_fit();  // exactly the pointers handed over: a read past them trips ASan
  ExpectRefusedWith("Merge error: [6] images for [12] cameras");
}

TEST_F(MergeRefusal, EyesOrFacesBeyondTheCamerasOrTheirArrays) {
  State().eyeCount = 3;
  EXPECT_FALSE(Merge());
  State().eyeCount = 2;
  State().facesPerEye = 7;
  EXPECT_FALSE(Merge());
  State().facesPerEye = 6;
  ExpectRefusedWith("Merge error: [2] eyes of [6] faces for [2] cameras");
}

TEST_F(MergeRefusal, MissingImagesAndNotThoseBeyondTheCameraCount) {
  sources_[1] = nullptr;
  ExpectRefusedWith("Merge error: channel [1] missing");
  EXPECT_FALSE(effect_->StereoMergeImages(nullptr, nullptr, sources_.data(), 2, BaseContainer(),
                                          COLORSPACETRANSFORMATION_NONE));
  // Images beyond the camera count are not looked at.
  sources_[1] = images_[1].get();
  images_.push_back(MakeImage(1, 1));
  sources_.push_back(images_.back().get());
  EXPECT_TRUE(Merge());
}

TEST_F(MergeFixture, RowAccessOutsideTheImageCopiesNothing) {
  MakeSignedImages(1, 4, 2);
  std::vector<Float32> row(12, -1.0f);
  auto* bytes = reinterpret_cast<UChar*>(row.data());
  EXPECT_FALSE(images_[0]->GetPixelCnt(2, 0, 3, bytes, 12, COLORMODE_RGBf, PIXELCNT_0));
  EXPECT_FALSE(images_[0]->GetPixelCnt(0, 2, 1, bytes, 12, COLORMODE_RGBf, PIXELCNT_0));
  EXPECT_FALSE(images_[0]->GetPixelCnt(0, 0, 1, bytes, 16, COLORMODE_RGBf, PIXELCNT_0));
  EXPECT_FALSE(destination_->SetPixelCnt(-1, 1, 2, bytes, 12, COLORMODE_RGBf, PIXELCNT_0));
  EXPECT_EQ(row[0], -1.0f);
  EXPECT_TRUE(DestinationUntouched());
}

// Runs as (begin, end, source) triples.
using Runs = std::vector<std::array<Int32, 3>>;

Runs Cut(const std::vector<orvex::RenderArea>& areas, Int32 y, Int32 width, Vector eyeStart = Vector()) {
  std::vector<orvex::SubView> faces(areas.size());
  for (size_t f = 0; f < areas.size(); ++f) faces[f].area = areas[f];
  EyeRowSpans spans;
  CutEyeRow(faces, eyeStart, 4, y, width, spans);
  Runs runs;
  for (Int32 i = 0; i < spans.count; ++i)
    runs.push_back({spans.spans[i].begin, spans.spans[i].end, spans.spans[i].source});
  return runs;
}

TEST(CutEyeRow, RunsCoverTheRowInOrderTheFirstFaceWinsOverlapsAndSixSeparateFacesFit) {
  EXPECT_EQ(Cut({Area(2, 0, 3, 5), Area(6, 0, 7, 5)}, 1, 10),
            (Runs{{0, 2, -1}, {2, 4, 4}, {4, 6, -1}, {6, 8, 5}, {8, 10, -1}}));
  EXPECT_EQ(Cut({Area(3, 0, 6, 0), Area(0, 0, 9, 0)}, 0, 10), (Runs{{0, 3, 5}, {3, 7, 4}, {7, 10, 5}}));
  EXPECT_EQ(Cut({Area(0, 0, 9, 0), Area(3, 0, 6, 0)}, 0, 10), (Runs{{0, 10, 4}}));
  std::vector<orvex::RenderArea> areas;
  for (Int32 f = 0; f < 6; ++f) areas.push_back(Area(2 * f + 1, 0, 2 * f + 1, 0));
  const Runs runs = Cut(areas, 0, 13);
  ASSERT_EQ(runs.size(), static_cast<size_t>(EyeRowSpans::kMaxSpans));
  EXPECT_EQ(runs[11], (std::array<Int32, 3>{11, 12, 9}));
}

TEST(CutEyeRow, FacesMoveWithTheEyeAndKeepInclusiveEdgesInsideTheImage) {
  EXPECT_EQ(Cut({Area(0, 0, 1, 0)}, 2, 10, Vector(5, 2, 0)), (Runs{{0, 5, -1}, {5, 7, 4}, {7, 10, -1}}));
  EXPECT_EQ(Cut({Area(0, 0, 1, 0)}, 0, 10, Vector(5, 2, 0)), (Runs{{0, 10, -1}}));
  EXPECT_EQ(Cut({Area(0.5, 0, 3.5, 0)}, 0, 10), (Runs{{0, 1, -1}, {1, 4, 4}, {4, 10, -1}}));
  EXPECT_EQ(Cut({Area(-3, -1, 20, 1)}, 1, 10), (Runs{{0, 10, 4}}));
  const Float nan = std::numeric_limits<Float>::quiet_NaN();
  EXPECT_EQ(Cut({Area(nan, 0, nan, 5), Area(0, nan, 9, nan)}, 1, 10), (Runs{{0, 10, -1}}));
}

TEST_F(MergeFixture, AnUnknownInterlacePatternAlternatesRowsAndNoKnownStereoModeGivesBlack) {
  SetStereoPair(5, 4);
  State().stereoOutput = ORVEXVP_STEREO_MODE_INTERLACED;
  State().interlacePattern = 7;
  MakeSignedImages(2, 5, 4);
  ASSERT_TRUE(Merge());
  for (Int32 y = 0; y < 4; ++y)
    for (Int32 x = 0; x < 5; ++x) EXPECT_EQ(Out(x, y), Vector(y % 2 + 1.0, x, y)) << "camera " << y % 2;
  State().stereoOutput = -1;
  ASSERT_TRUE(Merge());
  EXPECT_EQ(Out(1, 1), Vector());
}

// A stereo cubemap's anaglyph is not rendered in tests/stereo: the faces of the 3 x 2 block mix
// camera by camera across the eyes.
TEST_F(MergeFixture, StereoCubemapAnaglyphMixesFaceByFaceAcrossTheEyes) {
  PlaceEyes(6, 4, 2);
  orvex::BuildCubemapLayout({.layout = orvex::kCubemapBlock3x2}, State().layout);
  for (Int32 slot = 0; slot < 6; ++slot) {  // faces of two pixels a side in the block's cells, in row order
    State().faces[slot] = State().layout.cells[slot % 3][slot / 3];
    State().faces[slot].area = Area(slot % 3 * 2, slot / 3 * 2, slot % 3 * 2 + 1, slot / 3 * 2 + 1);
  }
  State().facesPerEye = 6;
  State().cameraCount = 12;
  State().lens.projection = orvex::Projection::kCubemap;
  SetAnaglyph(0, 1);  // red from slot 0, green and blue from slot 1
  MakeImages(12, 6, 4, [](Int32 k, Int32, Int32 y) { return Vector(k, 10.0 * k, y); });
  ASSERT_TRUE(Merge());
  for (Int32 y = 0; y < 4; ++y) {
    for (Int32 x = 0; x < 6; ++x) {
      const Int32 camera = 3 * (y / 2) + x / 2;  // the block's cells are all faces, in row order
      EXPECT_EQ(Out(x, y), Vector(camera, 10.0 * (6 + camera), y)) << x << ", " << y;
    }
  }
}

// Eye slot 0's camera is one colour, slot 1's another, both over the whole 5 x 5 frame.
using AnaglyphMerge = MergeFixture;

TEST_F(AnaglyphMerge, FisheyeCornersOutsideTheDomeKeepEyeSlot0) {
  SetStereoPair(5, 5);
  MakeImages(2, 5, 5, [](Int32 k, Int32, Int32) { return k == 0 ? kSlot0 : kSlot1; });
  SetAnaglyph(2, 3);
  State().lens.projection = orvex::Projection::kFisheye;
  State().currentArea = State().eyes[0].area;
  ASSERT_TRUE(Merge());
  for (const auto& [x, y, expected] :
       {std::tuple{2, 2, Vector()}, {2, 0, Vector()}, {0, 0, kSlot0}, {4, 4, kSlot0}})
    EXPECT_NEAR((Out(x, y) - expected).GetLength(), 0.0, 1e-6) << x << ", " << y;
}

}  // namespace
