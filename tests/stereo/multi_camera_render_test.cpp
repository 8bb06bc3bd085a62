#include "geometry/cube_face.h"
#include "geometry/cubemap_layout.h"
#include "geometry/eye_rig.h"
#include "geometry/scalar_math.h"
#include "module_reading/separation_map.h"
#include "module_render_fixture.h"
#include "render_checks.h"
#include "runtime/object_params.h"
#include "runtime/shader_gradient.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"
#include "test_scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using render_test::AngleDegrees;
using render_test::ColourDirection;
using render_test::DifferentValues;
using render_test::LinesStartingWith;
using render_test::OpaqueImage;
using render_test::TempFolder;

// Stereo renders of a scene with boxes in it; each eye can also be rendered alone (single-eye output).
class StereoRender : public ModuleRender {
 protected:
  static constexpr Int32 kLeft = 0;
  static constexpr Int32 kRight = 1;

  BaseObject* AddBox(const Vector& position, const Vector& size, const Vector& colour) {
    BaseObject* box = BaseObject::Alloc(Ocube);
    box->GetDataInstance()->SetVector(PRIM_CUBE_LEN, size);
    box->GetDataInstance()->SetVector(OBJECT_COLOR, colour);
    box->SetRelPos(position);
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

  // A panorama camera at the origin with boxes close around it, so that the two eyes see clearly
  // different images.
  void SetUp() override {
    StereoRender::SetUp();
    AddCamera(CameraKind::Panorama, kWidth, kHeight);
    Settings().SetBool(RDATA_STEREO, true);
    SetTag(ORVEXTAG_EYE_SEPARATION, GeData(30.0));
    AddBox(Vector(0.0, 0.0, 80.0), Vector(30.0, 60.0, 20.0), Vector(0.9, 0.2, 0.1));
    AddBox(Vector(70.0, 20.0, 0.0), Vector(20.0, 80.0, 40.0), Vector(0.1, 0.8, 0.2));
    AddBox(Vector(-50.0, -10.0, -60.0), Vector(40.0, 40.0, 40.0), Vector(0.2, 0.3, 0.9));
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
  // Rows, columns and checkerboard: the left eye where the row, the column or their sum is even.
  for (const Int32 pattern : {0, 1, 2}) {
    SCOPED_TRACE(pattern);
    SetEffect(ORVEXVP_INTERLACE, GeData(pattern));
    ExpectShows(RenderOutput(ORVEXVP_STEREO_MODE_INTERLACED), 0, 0,
                OpaqueImage(kWidth, kHeight, [&](Int32 x, Int32 y) {
                  const Int32 parity = (pattern == 0 ? 0 : x) + (pattern == 1 ? 0 : y);
                  return Colour(parity % 2 == 0 ? left : right, x, y);
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
// eye alone, lands where the eye rig puts it: without convergence a pole shows crossed disparity
// (further right in the left eye). (How converging eyes split near and far objects at the
// zero-parallax distance is measured ray by ray in the comfort report's tests.) The separation map
// scales the eye distance: a map of 0 makes the eyes identical.
class StereoGeometry : public StereoRender {
 protected:
  static constexpr Int32 kWidth = 128;
  static constexpr Int32 kHeight = 64;
  static constexpr Int32 kSamples = 8;
  static constexpr Float kSeparation = 10.0;

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
};

TEST_F(StereoGeometry, ParallelEyesShowANearPoleCrossedByTheAngleTheirSeparationSpans) {
  // The angle the eyes' separation spans at the pole, in pixels of the panorama's 360 degrees.
  const Float spanned = 2.0 * std::atan(kSeparation * 0.5 / 60.0) / orvex::kTwoPi * kWidth;
  EXPECT_NEAR(Disparity(Vector(0.0, 0.0, 60.0)), spanned, 0.3 * spanned);
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

// The stereo options of `orvex360 render` as an artist types them.

// Whether the top and bottom halves (the eyes of a top-bottom frame) hold the same values.
bool HalvesAlike(const FloatImage& image) {
  const auto middle = image.rgba.begin() + image.rgba.size() / 2;
  return std::equal(image.rgba.begin(), middle, middle);
}

// The demo panorama's eyes at 32 x 8: each alone, or framed top (left eye) and bottom (right eye).
constexpr const char* kStereo = "demo --camera panorama --samples 1 --threads 1 --stereo on ";

FloatImage RenderStereo(const TempFolder& folder, const std::string& options) {
  render_test::ExpectRendered(folder, kStereo + options + " -o out.exr");
  return render_test::ReadImage(folder.File("out.exr"));
}

// Which shift of `eye`, two columns either way, fits the frame's rows from `top` best.
Int32 BestShift(const FloatImage& frame, Int32 top, const FloatImage& eye) {
  Int32 best = 0;
  for (Int32 shift = -2; shift <= 2; ++shift)
    if (DifferentValues(frame, 0, top, eye, false, false, shift) <
        DifferentValues(frame, 0, top, eye, false, false, best))
      best = shift;
  return best;
}

TEST(StereoCommand, FlipSwapAndShiftOptionsMoveEachEye) {
  TempFolder folder;
  const FloatImage left = RenderStereo(folder, "--size 32x8 --stereo-output single-eye --single-eye left");
  const FloatImage right = RenderStereo(folder, "--size 32x8 --stereo-output single-eye --single-eye right");
  ASSERT_GT(DifferentValues(left, 0, 0, right), 0);  // the eyes must differ for this to mean anything
  const std::string pair = "--size 32x16 --stereo-output side-by-side --side-layout top-bottom ";

  FloatImage frame = RenderStereo(folder, pair + "--flip right-vertical,left-horizontal");
  EXPECT_EQ(DifferentValues(frame, 0, 0, left, true, false), 0);
  EXPECT_EQ(DifferentValues(frame, 0, 8, right, false, true), 0);

  frame = RenderStereo(folder, pair + "--swap-eyes");
  EXPECT_EQ(DifferentValues(frame, 0, 0, right), 0);
  EXPECT_EQ(DifferentValues(frame, 0, 8, left), 0);

  // Two pixels apart: the left eye one column to the right, the right eye one to the left. (Not an
  // exact copy one column over: near boxes' edges differ a little, so the best fit counts.)
  frame = RenderStereo(folder, pair + "--eye-shift 2");
  EXPECT_EQ(BestShift(frame, 0, left), 1);
  EXPECT_EQ(BestShift(frame, 8, right), -1);
}

// A separation map scales the eye distance: a map of 0 makes the eyes alike, the pole gradient
// does not. Values that are no number give no separation; a huge value is limited; the frame is
// never blanked, and the log says so once.
TEST(StereoCommand, SeparationMapsScaleTheEyeDistanceAndUnusableValuesAreDefined) {
  TempFolder folder;
  const Float32 cases[][2] = {{std::numeric_limits<Float32>::quiet_NaN(), 0.0f},
                              {std::numeric_limits<Float32>::infinity(), 0.0f},
                              {1e30f, 100.0f}};  // the value, and the value it means
  const std::string stereo =
      "demo --camera panorama --size 32x16 --samples 1 --stereo on "
      "--stereo-output side-by-side --side-layout top-bottom ";
  for (const auto& [value, meaning] : cases) {
    render_test::WriteUniformImage(folder.File("bad.exr"), 8, 4, value);
    render_test::WriteUniformImage(folder.File("meant.exr"), 8, 4, meaning);
    const CommandResult run =
        render_test::ExpectRendered(folder, stereo + "--separation-map bad.exr -o bad-render.exr");
    const std::string notice = "Separation map: values that are no number were used as 0";
    EXPECT_EQ(run.output.find(notice), run.output.rfind(notice)) << run.output;
    EXPECT_NE(run.output.find(notice), std::string::npos) << run.output;
    render_test::ExpectRendered(folder, stereo + "--separation-map meant.exr -o meant-render.exr");
    const FloatImage image = render_test::ReadImage(folder.File("bad-render.exr"));
    EXPECT_EQ(image.rgba, render_test::ReadImage(folder.File("meant-render.exr")).rgba) << value;
    EXPECT_EQ(image.Pixel(16, 8)[3], 1.0f) << value;
    EXPECT_EQ(HalvesAlike(image), meaning == 0.0f) << value;
  }
  render_test::ExpectRendered(folder, stereo + "--separation-gradient -o faded.exr");
  EXPECT_FALSE(HalvesAlike(render_test::ReadImage(folder.File("faded.exr"))));
}

// Every cubemap layout rendered in an environment that encodes direction: each cell of the frame
// holds its face (every pixel looks into that face's quarter of the sphere, the cell as a whole
// straight along the face's axis), faces that touch in a cross meet without a jump, and cells
// without a face stay transparent black.

constexpr Int32 kCell = 12;  // pixels per cell side
// Neighbouring pixels across a seam both lie on the cube's edge.
constexpr Float kSeamDegrees = 2.0;

// The axis each face looks along, indexed by face: left, right, down, up, back, front.
constexpr Vector kFaceAxes[] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};

// One cell of the frame: its face (-1 for none) and its first pixel.
struct Cell {
  Int32 face = -1;
  Int32 x = 0;
  Int32 y = 0;
};

// A layout's settings and the faces its frame shows, row by row ("." for no face; 0 to 5 for left,
// right, down, up, back, front), written out by hand so that the render is checked against the
// convention, not against the layout code it runs.
struct LayoutCase {
  const char* name;
  Int32 layout, crossStart;
  const char* grid;
  Int32 singleFace = orvex::kCubeFaceFront;
  std::array<Int32, 6> slots = {1, 0, 3, 2, 5, 4};
};
void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.grid; }

class CubemapRender : public ModuleRender, public testing::WithParamInterface<LayoutCase> {
 protected:
  // A cubemap camera in the empty scene with the effect's layout settings; the frame has square
  // cells of kCell pixels, `eyes` layouts side by side.
  void Configure(const LayoutCase& c, Int32 eyes = 1) {
    grid_ = c.grid;
    columns_ = static_cast<Int32>(grid_.find('|'));
    rows_ = static_cast<Int32>(std::count(grid_.begin(), grid_.end(), '|'));
    AddCamera(CameraKind::Cubemap, columns_ * kCell * eyes, rows_ * kCell);
    SetEffect(ORVEXVP_CUBE_LAYOUT, GeData(c.layout));
    SetEffect(ORVEXVP_CUBE_FACE, GeData(c.singleFace));
    SetEffect(ORVEXVP_CUBE_CROSS_START, GeData(c.crossStart));
    for (Int32 slot = 0; slot < 6; ++slot) SetEffect(ORVEXVP_CUBE_SLOT1 + slot, GeData(c.slots[slot]));
  }

  Cell CellAt(Int32 column, Int32 row, Int32 eyeX = 0) const {
    const char face = grid_[row * (columns_ + 1) + column];
    return {face == '.' ? -1 : face - '0', eyeX + column * kCell, row * kCell};
  }

  // Every pixel of a face's cell looks into the face, the cell as a whole along its axis.
  void ExpectFace(const FloatImage& image, const Cell& cell) const {
    const Vector axis = kFaceAxes[cell.face];
    Vector sum;
    for (Int32 y = cell.y; y < cell.y + kCell; ++y) {
      for (Int32 x = cell.x; x < cell.x + kCell; ++x) {
        const Vector d = ColourDirection(image.Pixel(x, y));
        const Float along = Dot(d, axis);
        const Vector across = d - axis * along;
        const Float largestAcross = std::max({std::abs(across.x), std::abs(across.y), std::abs(across.z)});
        EXPECT_GE(along, largestAcross - 0.03) << "face " << cell.face << " pixel " << x << "," << y;
        EXPECT_EQ(image.Pixel(x, y)[3], 1.0f);
        sum += d;
      }
    }
    EXPECT_LT(AngleDegrees(sum, axis), 1.5) << "face " << cell.face;
  }

  static void ExpectEmpty(const FloatImage& image, const Cell& cell) {
    for (Int32 y = cell.y; y < cell.y + kCell; ++y)
      for (Int32 x = cell.x; x < cell.x + kCell; ++x)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(image.Pixel(x, y)[c], 0.0f) << x << "," << y;
  }

  // Every cell of one eye's layout starting at column eyeX, row by row.
  std::vector<Cell> Cells(Int32 eyeX = 0) const {
    std::vector<Cell> cells;
    for (Int32 row = 0; row < rows_; ++row)
      for (Int32 column = 0; column < columns_; ++column) cells.push_back(CellAt(column, row, eyeX));
    return cells;
  }

  void ExpectLayout(const FloatImage& image, Int32 eyeX = 0) const {
    for (const Cell& cell : Cells(eyeX)) cell.face < 0 ? ExpectEmpty(image, cell) : ExpectFace(image, cell);
  }

  // Where two faces touch in the layout, the pixels on either side of the seam look the same way.
  void ExpectSeamlessNeighbours(const FloatImage& image) const {
    int seams = 0;
    for (Int32 row = 0; row < rows_; ++row) {
      for (Int32 column = 0; column < columns_; ++column) {
        if (CellAt(column, row).face < 0) continue;
        for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}}) {
          if (column + dx >= columns_ || row + dy >= rows_ || CellAt(column + dx, row + dy).face < 0)
            continue;
          ++seams;
          // The cell's last column or row against the next cell's first.
          for (Int32 i = 0; i < kCell; ++i) {
            const Int32 x = column * kCell + (dx ? kCell - 1 : i);
            const Int32 y = row * kCell + (dy ? kCell - 1 : i);
            EXPECT_LT(AngleDegrees(ColourDirection(image.Pixel(x, y)),
                                   ColourDirection(image.Pixel(x + dx, y + dy))),
                      kSeamDegrees)
                << "seam at " << x << "," << y;
          }
        }
      }
    }
    EXPECT_EQ(seams, 5);  // a cross unfolds the cube along five of its edges
  }

  std::string grid_;
  Int32 columns_ = 0;
  Int32 rows_ = 0;
};

// Crosses meet without a jump wherever their faces touch; strips and grids keep side faces upright.
TEST_P(CubemapRender, EachCellHoldsItsFaceCrossesMeetAndSideFacesStandUpright) {
  Configure(GetParam());
  const FloatImage image = Render();
  ExpectLayout(image);
  if (GetParam().layout <= orvex::kCubemapCrossVertical) return ExpectSeamlessNeighbours(image);
  for (const Cell& cell : Cells()) {
    if (cell.face == orvex::kCubeFaceUp || cell.face == orvex::kCubeFaceDown) continue;
    EXPECT_GT(ColourDirection(image.Pixel(cell.x + kCell / 2, cell.y)).y, 0.5) << "face " << cell.face;
    EXPECT_LT(ColourDirection(image.Pixel(cell.x + kCell / 2, cell.y + kCell - 1)).y, -0.5)
        << "face " << cell.face;
  }
}

constexpr Int32 kVertical = orvex::kCubemapCrossVertical;

INSTANTIATE_TEST_SUITE_P(
    Layouts, CubemapRender,
    testing::Values(
        LayoutCase{"HorizontalCrossFront0", kCross, 0, "3...|5140|2...|"},
        LayoutCase{"HorizontalCrossFront1", kCross, 1, ".3..|0514|.2..|"},
        LayoutCase{"HorizontalCrossFront2", kCross, 2, "..3.|4051|..2.|"},
        LayoutCase{"HorizontalCrossFront3", kCross, 3, "...3|1405|...2|"},
        LayoutCase{"VerticalCrossFront0", kVertical, 0, "051|.2.|.4.|.3.|"},
        LayoutCase{"VerticalCrossFront1", kVertical, 1, ".3.|051|.2.|.4.|"},
        LayoutCase{"VerticalCrossFront2", kVertical, 2, ".4.|.3.|051|.2.|"},
        LayoutCase{"VerticalCrossFront3", kVertical, 3, ".2.|.4.|.3.|051|"},
        LayoutCase{"HorizontalStrip", orvex::kCubemapStripHorizontal, 1, "103254|"},
        LayoutCase{"VerticalStrip", orvex::kCubemapStripVertical, 1, "1|0|3|2|5|4|"},
        LayoutCase{
            "Grid3x2", orvex::kCubemapBlock3x2, 1, "543|210|", orvex::kCubeFaceFront, {5, 4, 3, 2, 1, 0}},
        LayoutCase{"Grid2x3", orvex::kCubemapBlock2x3, 1, "12|05|34|"},
        LayoutCase{"SingleFace", orvex::kCubemapSingleFace, 1, "3|", orvex::kCubeFaceUp}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

// A stereo cubemap side by side: each eye's half holds the whole cross.
TEST_F(CubemapRender, StereoCubemapHoldsACrossPerEye) {
  Configure({"", kCross, 1, ".3..|0514|.2..|"}, 2);
  Settings().SetBool(RDATA_STEREO, true);
  SetEffect(ORVEXVP_STEREO_MODE, GeData(ORVEXVP_STEREO_MODE_SIDE_BY_SIDE));
  SetTag(ORVEXTAG_ZERO_PARALLAX_MODE, GeData(Int32(0)));
  const FloatImage image = Render();
  ExpectLayout(image, 0);
  ExpectLayout(image, columns_ * kCell);
}

}  // namespace
