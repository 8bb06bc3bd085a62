#include "stereo_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

// The stereo outputs through the real render path: every part of the merged frame must be exactly
// the eye image the output mode puts there, as the eye renders alone. (The merge's arithmetic is
// covered by its own tests; here the host's cameras, the eyes' areas and flips and the merge meet.)

namespace {

constexpr Int32 kWidth = 64;
constexpr Int32 kHeight = 32;

class StereoOutput : public StereoRender {
 protected:
  void SetUp() override {
    StereoRender::SetUp();
    SetUpScene(CameraKind::Panorama, kWidth, kHeight);
  }

  FloatImage RenderOutput(Int32 mode) {
    SetEffect(ORVEXVP_STEREO_MODE, GeData(mode));
    const FloatImage frame = Render();
    EXPECT_EQ(CamerasRendered(), 2);
    return frame;
  }
};

class SideBySide : public StereoOutput, public testing::WithParamInterface<Int32> {};

// Plain, each flip alone (it mirrors only its eye), and swapped eyes that keep their flips.
TEST_P(SideBySide, EachHalfIsItsEyeWithItsFlips) {
  const bool topBottom = GetParam() == 1;
  SetEffect(ORVEXVP_SIDE_LAYOUT, GeData(GetParam()));
  const Int32 eyeWidth = topBottom ? kWidth : kWidth / 2;
  const Int32 eyeHeight = topBottom ? kHeight / 2 : kHeight;
  const FloatImage eyes[] = {RenderEye(kLeft, eyeWidth, eyeHeight), RenderEye(kRight, eyeWidth, eyeHeight)};
  ASSERT_GT(DifferentPixels(eyes[kLeft], eyes[kRight]), eyeWidth * eyeHeight / 10) << "the eyes look alike";
  // Left eye's U and V flips, the right eye's, and whether the eyes are swapped.
  const std::array<bool, 5> cases[] = {
      {}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {1, 0, 0, 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c[0] << c[1] << c[2] << c[3] << c[4]);
    const Int32 ids[] = {ORVEXVP_LEFT_FLIP_U, ORVEXVP_LEFT_FLIP_V, ORVEXVP_RIGHT_FLIP_U, ORVEXVP_RIGHT_FLIP_V,
                         ORVEXVP_SWAP_EYES};
    for (int k = 0; k < 5; ++k) SetEffect(ids[k], GeData(c[k]));
    const FloatImage frame = RenderOutput(ORVEXVP_STEREO_MODE_SIDE_BY_SIDE);
    // Swapped, the first half shows the right eye; each eye keeps its own flips.
    const Int32 first = c[4] ? kRight : kLeft;
    const Int32 second = 1 - first;
    ExpectShows(frame, 0, 0, eyes[first], c[2 * first], c[2 * first + 1]);
    ExpectShows(frame, topBottom ? 0 : eyeWidth, topBottom ? eyeHeight : 0, eyes[second], c[2 * second],
                c[2 * second + 1]);
  }
}

INSTANTIATE_TEST_SUITE_P(LeftRightAndTopBottom, SideBySide, testing::Values(0, 1));

// An odd width leaves the last column to no eye: it stays black, and transparent.
TEST_F(StereoOutput, TheColumnNoEyeCoversStaysBlack) {
  SetSize(kWidth + 1, kHeight);
  SetEffect(ORVEXVP_SIDE_LAYOUT, GeData(Int32(0)));
  const FloatImage frame = RenderOutput(ORVEXVP_STEREO_MODE_SIDE_BY_SIDE);
  ExpectShows(frame, 0, 0, RenderEye(kLeft, kWidth / 2, kHeight));
  ExpectShows(frame, kWidth / 2, 0, RenderEye(kRight, kWidth / 2, kHeight));
  for (Int32 y = 0; y < kHeight; ++y)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(frame.Pixel(kWidth, y)[c], 0.0f) << "row " << y;
}

// Which eye each pixel of an interlaced frame shows, by pattern.
bool ShowsLeft(Int32 pattern, Int32 x, Int32 y) {
  if (pattern == 1) return x % 2 == 0;
  if (pattern == 2) return (x + y % 2) % 2 == 0;
  return y % 2 == 0;
}

// The anaglyph colours of each method from the two eyes' colours (a: slot 0, b: slot 1).
using Anaglyph = std::function<Vector(const Vector& a, const Vector& b)>;

Float Luma(const Vector& c) { return 0.299 * c.x + 0.587 * c.y + 0.114 * c.z; }

struct AnaglyphCase {
  Int32 colours;
  Int32 method;
  Float gamma;
  Anaglyph mix;
  bool swap = false;  // swapped eyes feed slot 0 (red) from the right eye
};

// Interlaced rows, columns and checkerboard, and anaglyphs of every method and colour pair, against
// the eyes rendered alone.
TEST_F(StereoOutput, InterlacedAndAnaglyphFramesMixTheEyes) {
  const FloatImage left = RenderEye(kLeft, kWidth, kHeight);
  const FloatImage right = RenderEye(kRight, kWidth, kHeight);
  for (const Int32 pattern : {0, 1, 2}) {
    SCOPED_TRACE(pattern);
    SetEffect(ORVEXVP_INTERLACE, GeData(pattern));
    const FloatImage frame = RenderOutput(ORVEXVP_STEREO_MODE_INTERLACED);
    int wrong = 0;
    for (Int32 y = 0; y < kHeight; ++y) {
      for (Int32 x = 0; x < kWidth; ++x) {
        const FloatImage& eye = ShowsLeft(pattern, x, y) ? left : right;
        for (int c = 0; c < 4; ++c) wrong += std::abs(frame.Pixel(x, y)[c] - eye.Pixel(x, y)[c]) > 1e-5f;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
  const AnaglyphCase cases[] = {
      {0, 0, 1.0, [](const Vector& a, const Vector& b) { return Vector(Luma(a), 0.0, Luma(b)); }},
      {0, 1, 1.0, [](const Vector& a, const Vector& b) { return Vector(a.x, b.y, b.z); }},
      {0, 2, 1.0, [](const Vector& a, const Vector& b) { return Vector(Luma(a), b.y, b.z); }},
      {0, 3, 1.0, [](const Vector& a, const Vector& b) { return Vector(0.7 * a.y + 0.3 * a.z, b.y, b.z); }},
      {0, 3, 2.2,
       [](const Vector& a, const Vector& b) {
         return Vector(std::pow(0.7 * a.y + 0.3 * a.z, 1.0 / 2.2), b.y, b.z);
       }},
      {0, 4, 1.0, [](const Vector& a, const Vector& b) { return Vector(Luma(a), Luma(b), Luma(b)); }},
      {1, 3, 1.0, [](const Vector& a, const Vector& b) { return Vector(a.x, b.y, 0.0); }},
      {2, 3, 1.0, [](const Vector&, const Vector&) { return Vector(); }},
      {0, 1, 1.0, [](const Vector& a, const Vector& b) { return Vector(a.x, b.y, b.z); }, true},
  };
  for (const AnaglyphCase& anaglyph : cases) {
    SCOPED_TRACE(testing::Message() << "colours " << anaglyph.colours << " method " << anaglyph.method
                                    << " gamma " << anaglyph.gamma << " swap " << anaglyph.swap);
    SetEffect(ORVEXVP_SWAP_EYES, GeData(anaglyph.swap));
    SetEffect(ORVEXVP_ANAGLYPH_COLORS, GeData(anaglyph.colours));
    SetEffect(ORVEXVP_ANAGLYPH_METHOD, GeData(anaglyph.method));
    SetEffect(ORVEXVP_ANAGLYPH_GAMMA, GeData(anaglyph.gamma));
    const FloatImage frame = RenderOutput(ORVEXVP_STEREO_MODE_ANAGLYPH);
    int wrong = 0;
    for (Int32 y = 0; y < kHeight; ++y) {
      for (Int32 x = 0; x < kWidth; ++x) {
        const Float32* a = (anaglyph.swap ? right : left).Pixel(x, y);
        const Float32* b = (anaglyph.swap ? left : right).Pixel(x, y);
        const Vector expected = anaglyph.mix(Vector(a[0], a[1], a[2]), Vector(b[0], b[1], b[2]));
        const Float32* pixel = frame.Pixel(x, y);
        wrong += std::abs(pixel[0] - expected.x) > 1e-5 || std::abs(pixel[1] - expected.y) > 1e-5 ||
                 std::abs(pixel[2] - expected.z) > 1e-5;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace
