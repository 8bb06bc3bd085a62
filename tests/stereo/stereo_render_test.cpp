#include "geometry/cubemap_layout.h"
#include "geometry/eye_rig.h"
#include "module_render_fixture.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag_params.h"
#include "render/separation_map.h"
#include "render_checks.h"
#include "runtime/shader_gradient.h"
#include "scene/object_params.h"
#include "test_scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace {

using render_test::DifferentValues;
using render_test::LinesStartingWith;
using render_test::OpaqueImage;

// Stereo renders of a panorama camera at the origin with boxes close around it, so that the two
// eyes see clearly different images; each eye can also be rendered alone (single-eye output).
class StereoRender : public ModuleRender {
 protected:
  static constexpr Int32 kLeft = 0;
  static constexpr Int32 kRight = 1;

  void SetUpScene(CameraKind kind, Int32 width, Int32 height) {
    AddCamera(kind, width, height);
    Settings().SetBool(RDATA_STEREO, true);
    SetTag(ORVEXTAG_EYE_SEPARATION, GeData(30.0));
    AddBox(Vector(0.0, 0.0, 80.0), Vector(30.0, 60.0, 20.0), Vector(0.9, 0.2, 0.1));
    AddBox(Vector(70.0, 20.0, 0.0), Vector(20.0, 80.0, 40.0), Vector(0.1, 0.8, 0.2));
    AddBox(Vector(-50.0, -10.0, -60.0), Vector(40.0, 40.0, 40.0), Vector(0.2, 0.3, 0.9));
  }

  BaseObject* AddBox(const Vector& position, const Vector& size, const Vector& colour) {
    BaseObject* box = BaseObject::Alloc(Ocube);
    box->GetDataInstance()->SetVector(PRIM_CUBE_LEN, size);
    box->GetDataInstance()->SetVector(OBJECT_COLOR, colour);
    Matrix placement;
    placement.offset = position;
    box->SetMl(placement);
    doc_->InsertObject(box, nullptr);
    return box;
  }

  // One eye alone at this size, through the single-eye output; the settings are restored after.
  FloatImage RenderEye(Int32 eye, Int32 width, Int32 height, Int32 samples = 1) {
    const BaseContainer effect = *Effect()->GetDataInstance();
    const BaseContainer settings = Settings();
    SetEffect(ORVEXVP_STEREO_MODE, GeData(ORVEXVP_STEREO_MODE_SINGLE_EYE));
    SetEffect(ORVEXVP_SINGLE_EYE, GeData(eye));
    SetSize(width, height);
    FloatImage image = Render(false, samples);
    Effect()->SetData(effect, false);
    Settings() = settings;
    return image;
  }

  // The frame's pixels from (x0, y0) on show `eye` (mirrored as asked) pixel for pixel.
  static void ExpectShows(const FloatImage& frame, Int32 x0, Int32 y0, const FloatImage& eye,
                          bool flipU = false, bool flipV = false) {
    EXPECT_EQ(render_test::DifferentValues(frame, x0, y0, eye, flipU, flipV), 0)
        << "region at " << x0 << "," << y0;
  }
};

// How many camera images real renders make: the module asks the host for them, the host renders
// each one between the camera phases and merges them.
struct CountCase {
  const char* name;
  CameraKind kind;
  bool stereo;
  Int32 stereoMode;
  Int32 cubeLayout;
  Int32 cameras;  // of an external render; editor renders always have one
};

class CameraCount : public ModuleRender, public testing::WithParamInterface<CountCase> {};

TEST_P(CameraCount, ExternalRendersMakeOneImagePerCameraAndMergeThemEditorRendersOne) {
  const CountCase& c = GetParam();
  AddCamera(c.kind, 24, 18);
  Settings().SetBool(RDATA_STEREO, c.stereo);
  SetEffect(ORVEXVP_STEREO_MODE, GeData(c.stereoMode));
  SetEffect(ORVEXVP_CUBE_LAYOUT, GeData(c.cubeLayout));
  Render();
  EXPECT_EQ(CamerasRendered(), GetParam().cameras);
  // One merge per frame: alpha is carried along with the colour.
  EXPECT_EQ(LinesStartingWith(ModuleLines(), "Stereo MERGE!").size(), GetParam().cameras > 1 ? 1u : 0u);
  // Render start's stereo switch for cubemaps belongs to that render, not to the document.
  EXPECT_EQ(Settings().GetBool(RDATA_STEREO), GetParam().stereo);
  Render(true);
  EXPECT_EQ(CamerasRendered(), 1);
  EXPECT_TRUE(LinesStartingWith(ModuleLines(), "Stereo MERGE!").empty());
}

constexpr Int32 kAnaglyph = ORVEXVP_STEREO_MODE_ANAGLYPH;
constexpr Int32 kSideBySide = ORVEXVP_STEREO_MODE_SIDE_BY_SIDE;
constexpr Int32 kSingleEye = ORVEXVP_STEREO_MODE_SINGLE_EYE;
constexpr Int32 kCross = orvex::kCubemapCrossHorizontal;
constexpr Int32 kOneFace = orvex::kCubemapSingleFace;

INSTANTIATE_TEST_SUITE_P(
    MonoStereoAndCubemaps, CameraCount,
    testing::Values(CountCase{"Mono", CameraKind::Panorama, false, kAnaglyph, kCross, 1},
                    CountCase{"StereoPair", CameraKind::Panorama, true, kSideBySide, kCross, 2},
                    CountCase{"SingleEye", CameraKind::Fulldome, true, kSingleEye, kCross, 1},
                    CountCase{"MonoCubemap", CameraKind::Cubemap, false, kAnaglyph, kCross, 6},
                    CountCase{"StereoCubemap", CameraKind::Cubemap, true, kSideBySide, kCross, 12},
                    CountCase{"SingleEyeCubemap", CameraKind::Cubemap, true, kSingleEye, kCross, 6},
                    CountCase{"MonoCubeFace", CameraKind::Cubemap, false, kAnaglyph, kOneFace, 1},
                    CountCase{"StereoCubeFace", CameraKind::Cubemap, true, kAnaglyph, kOneFace, 2}),
    [](const testing::TestParamInfo<CountCase>& info) { return std::string(info.param.name); });

// The stereo outputs through the real render path: every part of the merged frame must be exactly
// the eye image the output mode puts there, as the eye renders alone. (The merge's arithmetic is
// covered by its own tests; here the host's cameras, the eyes' areas and flips and the merge meet.)
class StereoOutput : public StereoRender {
 protected:
  static constexpr Int32 kWidth = 64;
  static constexpr Int32 kHeight = 32;

  void SetUp() override {
    StereoRender::SetUp();
    SetUpScene(CameraKind::Panorama, kWidth, kHeight);
  }

  static Vector Colour(const FloatImage& image, Int32 x, Int32 y) {
    const Float32* pixel = image.Pixel(x, y);
    return {pixel[0], pixel[1], pixel[2]};
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
  ASSERT_GT(DifferentValues(eyes[kLeft], 0, 0, eyes[kRight]), eyeWidth * eyeHeight / 10)
      << "the eyes look alike";
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
    ExpectShows(RenderOutput(ORVEXVP_STEREO_MODE_INTERLACED), 0, 0,
                OpaqueImage(kWidth, kHeight, [&](Int32 x, Int32 y) {
                  return Colour(ShowsLeft(pattern, x, y) ? left : right, x, y);
                }));
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
    const FloatImage& a = anaglyph.swap ? right : left;
    const FloatImage& b = anaglyph.swap ? left : right;
    ExpectShows(RenderOutput(ORVEXVP_STEREO_MODE_ANAGLYPH), 0, 0,
                OpaqueImage(kWidth, kHeight, [&](Int32 x, Int32 y) {
                  return anaglyph.mix(Colour(a, x, y), Colour(b, x, y));
                }));
  }
}

// Omni-directional stereo seen in the images: a thin pole at a known distance, rendered by each
// eye alone, lands where the eye rig puts it. With the eyes converging at the zero-parallax
// distance a pole nearer than that shows crossed disparity (further right in the left eye), one at
// that distance none, one beyond it uncrossed; without convergence every pole shows crossed
// disparity. The separation map scales the eye distance: a map of 0 makes the eyes identical.
class StereoGeometry : public StereoRender {
 protected:
  static constexpr Int32 kWidth = 128;
  static constexpr Int32 kHeight = 64;
  static constexpr Int32 kSamples = 8;
  static constexpr Float kSeparation = 10.0;
  static constexpr Float kDegreesPerPixel = 360.0 / kWidth;

  void SetUp() override {
    StereoRender::SetUp();
    AddCamera(CameraKind::Panorama, kWidth, kHeight);
    Settings().SetBool(RDATA_STEREO, true);
    SetTag(ORVEXTAG_EYE_SEPARATION, GeData(kSeparation));
    Converge(0.0);
  }

  // Zero parallax at `distance`; 0 keeps the eyes' rays parallel.
  void Converge(Float distance) {
    SetTag(ORVEXTAG_ZERO_PARALLAX_MODE, GeData(Int32(distance > 0.0 ? 1 : 0)));
    if (distance > 0.0) SetTag(ORVEXTAG_ZERO_PARALLAX, GeData(distance));
  }

  // Horizontal position (pixels) of a pole at `position` in an eye's image: the centroid of what the
  // pole changes in the rows near the horizon.
  Float PoleColumn(Int32 eye, const Vector& position) {
    const FloatImage without = RenderEye(eye, kWidth, kHeight, kSamples);
    BaseObject* pole = AddBox(position, Vector(3.0, 400.0, 0.5), Vector(1.0));
    const FloatImage with = RenderEye(eye, kWidth, kHeight, kSamples);
    pole->Remove();
    BaseObject::Free(pole);
    Float weight = 0.0;
    Float sum = 0.0;
    for (Int32 y = kHeight / 2 - 4; y < kHeight / 2 + 4; ++y) {
      for (Int32 x = 0; x < kWidth; ++x) {
        Float change = 0.0;
        for (int c = 0; c < 3; ++c) change += std::abs(with.Pixel(x, y)[c] - without.Pixel(x, y)[c]);
        weight += change;
        sum += change * x;
      }
    }
    EXPECT_GT(weight, 1.0) << "the pole is not in sight";
    return sum / weight;
  }

  // Left eye's column minus the right eye's, in pixels: positive is crossed disparity.
  Float Disparity(const Vector& position) {
    return PoleColumn(kLeft, position) - PoleColumn(kRight, position);
  }

  // The disparity the rig gives a pole at `distance` (eyes converging at `zeroParallax`, 0: never).
  static Float ExpectedPixels(Float distance, Float zeroParallax) {
    const auto angle = [](Float d) {
      return 2.0 * std::atan(kSeparation * 0.5 / d) * 180.0 / 3.14159265358979;
    };
    return (angle(distance) - (zeroParallax > 0.0 ? angle(zeroParallax) : 0.0)) / kDegreesPerPixel;
  }
};

TEST_F(StereoGeometry, ParallelEyesShowNearPolesCrossedConvergedOnesSplitAtTheZeroParallaxDistance) {
  EXPECT_NEAR(Disparity(Vector(0.0, 0.0, 60.0)), ExpectedPixels(60.0, 0.0), 0.3 * ExpectedPixels(60.0, 0.0));
  Converge(100.0);
  EXPECT_NEAR(Disparity(Vector(0.0, 0.0, 100.0)), 0.0, 0.15);
  const Float near = Disparity(Vector(0.0, 0.0, 50.0));
  EXPECT_NEAR(near, ExpectedPixels(50.0, 100.0), 0.3 * ExpectedPixels(50.0, 100.0));
  const Float far = Disparity(Vector(0.0, 0.0, 300.0));
  EXPECT_NEAR(far, ExpectedPixels(300.0, 100.0), 0.3 * -ExpectedPixels(300.0, 100.0));
  EXPECT_GT(near, 0.5);
  EXPECT_LT(far, -0.3);
}

// The omni rig turns the eye pair with each ray: poles to either side show the same disparity as
// one straight ahead.
TEST_F(StereoGeometry, OmniRigKeepsTheDisparityAllAround) {
  SetTag(ORVEXTAG_STEREO_RIG, GeData(Int32(orvex::kRigOmni)));
  const Float ahead = Disparity(Vector(0.0, 0.0, 60.0));
  EXPECT_GT(ahead, 1.0);
  EXPECT_NEAR(Disparity(Vector(60.0, 0.0, 0.0)), ahead, 0.2);
  EXPECT_NEAR(Disparity(Vector(-60.0, 0.0, 0.0)), ahead, 0.2);
}

class SeparationMap : public StereoGeometry {
 protected:
  void SetUp() override {
    StereoGeometry::SetUp();
    Converge(100.0);
    AddBox(Vector(0.0, 0.0, 60.0), Vector(20.0, 200.0, 20.0), Vector(0.8, 0.2, 0.1));
    AddBox(Vector(-40.0, 0.0, -50.0), Vector(30.0, 30.0, 30.0), Vector(0.1, 0.3, 0.9));
  }
};

TEST_F(SeparationMap, AMapOfZeroPutsBothEyesOnTheCamera) {
  BaseShader* zero = BaseShader::Alloc(Xgradient);
  const GradientKnot black[] = {{0.0, Vector(0.0)}, {1.0, Vector(0.0)}};
  SetGradientKnots(*zero->GetDataInstance(), black);
  std::string error;
  ASSERT_TRUE(separation_map::Link(*Tag(), zero, error)) << error;
  EXPECT_EQ(DifferentValues(RenderEye(kLeft, kWidth, kHeight), 0, 0, RenderEye(kRight, kWidth, kHeight)), 0);
  EXPECT_FALSE(ConsoleHas("Shader clone error"));

  // Switched off, the map no longer applies.
  SetTag(ORVEXTAG_SEPARATION_MAP, GeData(false));
  EXPECT_GT(DifferentValues(RenderEye(kLeft, kWidth, kHeight), 0, 0, RenderEye(kRight, kWidth, kHeight)),
            100);
}

// Faded toward the poles, the eyes agree looking straight up and down and differ at the horizon.
TEST_F(SeparationMap, ThePoleFadeLeavesNoStereoAtThePoles) {
  std::string error;
  ASSERT_TRUE(separation_map::Link(*Tag(), separation_map::MakePoleFade(), error)) << error;
  const FloatImage left = RenderEye(kLeft, kWidth, kHeight);
  const FloatImage right = RenderEye(kRight, kWidth, kHeight);
  for (const Int32 y : {0, kHeight - 1})
    for (Int32 x = 0; x < kWidth; ++x)
      for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(left.Pixel(x, y)[c], right.Pixel(x, y)[c]) << x << "," << y;
  int differentAtHorizon = 0;
  for (Int32 x = 0; x < kWidth; ++x)
    differentAtHorizon += std::abs(left.Pixel(x, kHeight / 2)[0] - right.Pixel(x, kHeight / 2)[0]) > 1e-4f;
  EXPECT_GT(differentAtHorizon, kWidth / 4);
}

}  // namespace
