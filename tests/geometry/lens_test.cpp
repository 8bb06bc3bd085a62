#include "geometry/lens.h"
#include "geometry/cube_face.h"
#include "geometry/cubemap_layout.h"
#include "geometry/equirect.h"
#include "geometry/equirect_grid.h"
#include "geometry/fisheye.h"
#include "geometry/frame_change.h"
#include "geometry/guide_geometry.h"
#include "geometry/render_area.h"
#include "geometry/rotation.h"
#include "geometry/stereo_diagram.h"
#include "geometry/sub_view.h"
#include "test_support.h"

#include <algorithm>
#include <set>
#include <string>

// The lens and its projections: each projection's directions and inverse, the cubemap layouts, the
// render area and view transforms the lens reads, the panorama grid that stands in for it at whole
// pixels, and the viewport guides that show what each projection covers.

namespace orvex {
namespace {

using test::Near;
using test::Steps;

// Where each pixel of a fisheye looks is checked pixel by pixel in rendered images
// (tests/render/lens_render_test.cpp); here the edge of the circle and the inverse.
TEST(FisheyeTest, EdgePixelsTraceAndRaysStopBeyondTheCircle) {
  EXPECT_NE(FisheyeDirection(0.5 + 1.005 / 2.0, 0.5, kPi, true), Vector());  // edge pixels still trace
  EXPECT_EQ(FisheyeDirection(0.5 + 1.02 / 2.0, 0.5, kPi, true), Vector());
  EXPECT_FALSE(IsOutsideDomeCircle(0.0, 0.5));  // exactly on the circle
  EXPECT_TRUE(IsOutsideDomeCircle(-1e-9, 0.5));
}

TEST(FisheyeTest, UnitDirectionsThatDomeUvInvertsInsideTheCircle) {
  for (Float fov : {0.0, 0.5, kPi, kTwoPi}) {
    for (Float u : Steps(0.0, 1.0, 41)) {
      for (Float v : Steps(0.0, 1.0, 41)) {
        const Vector d = FisheyeDirection(u, v, fov, false);
        ASSERT_NEAR(d.GetLength(), 1.0, 1e-12);
        // A zero-angle lens sees only its axis: the centre, never NaN.
        const Vector expected = fov == 0.0 ? Vector(0.5, 0.5, 0.0) : Vector(u, 1.0 - v, 0.0);
        ASSERT_TRUE(IsOutsideDomeCircle(u, v) || Near(DomeUvFromDirection(d, fov), expected, 1e-9))
            << u << " " << v;
      }
    }
  }
  for (const Vector& d : test::SphereDirections())
    ASSERT_TRUE(test::IsFinite(DomeUvFromDirection(d, 1e-320)));
}

TEST(EquirectTest, SeamsMeetAndUvOfDirectionIsAQuarterTurnOnAndFlipped) {
  EXPECT_TRUE(Near(FrameChange(EquirectDirection(0.75, 0.5)), {1.0, 0.0, 0.0}, 1e-15));
  EXPECT_TRUE(Near(FrameChange(EquirectDirection(0.3, 0.0)), {0.0, 1.0, 0.0}, 1e-15));
  EXPECT_TRUE(Near(FrameChange(Vector(1, 2, 3)), RotX(kHalfPi).TransformDirection({1, 2, 3}), 1e-15));
  for (Float u : Steps(0.0, 1.0, 41)) {
    for (Float v : Steps(0.0, 1.0, 21)) {
      const Vector d = EquirectDirection(u, v);
      ASSERT_NEAR(d.GetLength(), 1.0, 1e-12);
      ASSERT_TRUE(u > 0.0 || Near(d, EquirectDirection(1.0, v), 1e-15));
      const Vector uv = EquirectUvFromDirection(d);
      ASSERT_TRUE(uv.x > 0.0 && uv.x <= 1.0) << uv.x;
      // Straight down the limited arc cosine gives single-precision pi.
      ASSERT_NEAR(uv.y, v == 1.0 ? 1.0 - kPiSingle / kPi : 1.0 - v, 1e-9) << u << ", " << v;
      const Float error = std::abs(uv.x - (u + 0.25));
      const bool pole = v == 0.0 || v == 1.0;  // every column of a pole is the same direction
      ASSERT_TRUE(pole || std::min(error, 1.0 - error) < 1e-9) << u << ", " << v;
    }
  }
}

TEST(CubeFaceTest, FacesLookAlongTheirAxesWithTheirImageAxes) {
  const Vector looks[] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
  const Vector rightwards[] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {1, 0, 0}, {-1, 0, 0}, {1, 0, 0}};
  const Vector downwards[] = {{0, -1, 0}, {0, -1, 0}, {0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, -1, 0}};
  for (Int32 face = 0; face < kCubeFaceCount; ++face) {
    EXPECT_EQ(FrameChange(CubeFaceDirection(face, 0.5, 0.5)), looks[face]) << face;
    const Vector corner = (looks[face] + rightwards[face] + downwards[face]) / std::sqrt(3.0);
    EXPECT_TRUE(Near(FrameChange(CubeFaceDirection(face, 1.0, 1.0)), corner, 1e-15)) << face;
  }
  EXPECT_EQ(CubeFaceDirection(6, 0.5, 0.5), Vector());
  EXPECT_EQ(CubeFaceUvFromDirection(Vector()).face, kCubeFaceNone);
}

TEST(CubeFaceTest, EveryDirectionHitsOneFaceAndMapsBack) {
  for (const Vector& d : test::SphereDirections()) {
    const CubeFaceUv hit = CubeFaceUvFromDirection(d);
    ASSERT_TRUE(hit.u >= 0.0 && hit.u <= 1.0 && hit.v >= 0.0 && hit.v <= 1.0);
    ASSERT_TRUE(Near(CubeFaceDirection(hit.face, hit.u, hit.v), d, 1e-9)) << hit.face;
    for (Int32 face = 0; face < kCubeFaceCount; ++face) {  // no face lies further along d
      ASSERT_LE(Dot(CubeFaceDirection(face, 0.5, 0.5), d), Dot(CubeFaceDirection(hit.face, 0.5, 0.5), d));
    }
  }
}

LensSettings LensFor(Projection projection) {
  LensSettings lens;
  lens.projection = projection;
  lens.pixelScale = Vector(1.0 / 1000.0, 1.0 / 500.0, 0.0);
  return lens;
}

// The direction, and the (u, v) the lens left behind.
std::pair<Vector, Vector> Traced(const LensSettings& lens, Float u, Float v) {
  const Vector d = LensDirection(lens, u, v);
  return {d, {u, v, 0.0}};
}

// The lens's inputs: the area's measures, pixel centres as (u, v) and a view's flips and turn.
TEST(RenderAreaTest, CornerChangesRecomputeEveryMeasure) {
  RenderArea area = RenderArea::FromStartAndSize({10.0, 20.0, 0.0}, {1920.0, 1080.0, 0.0});
  EXPECT_EQ(area.GetEnd(), Vector(1929.0, 1099.0, 0.0));
  EXPECT_EQ(area.GetCentre(), Vector(969.5, 559.5, 0.0));
  EXPECT_EQ(area.GetRadius(), 540.0);
  area.SetEndY(19.0);
  EXPECT_EQ(area.GetSize(), Vector(1920.0, 0.0, 0.0));
  EXPECT_EQ(area.GetAspect(), 0.0);  // no height, no aspect
  // Halves are single-precision: 16777217 has no such value, so its half becomes 8388608.
  const RenderArea big = RenderArea::FromStartAndSize(Vector(), {16777217.0, 16777217.0, 0.0});
  EXPECT_EQ(big.GetCentre().x, 8388607.5);
  EXPECT_EQ(big.GetRadius(), 8388608.0);
}

TEST(RenderAreaTest, PixelToUvRunsFromZeroToOneAndSinglePixelSpansSitInTheMiddle) {
  const RenderArea area = RenderArea::FromStartAndSize({500.0, 0.0, 0.0}, {500.0, 1.0, 0.0});
  EXPECT_EQ(PixelToUv(area, 500.0, 0.0), Vector(0.0, 0.5, 0.0));
  EXPECT_EQ(PixelToUv(area, 999.0, 0.0), Vector(1.0, 0.5, 0.0));
  EXPECT_EQ(PixelToUv(RenderArea(), 3.0, 4.0), Vector(0.5, 0.5, 0.0));
}

TEST(SubViewTest, TransformFlipsThenTurnsAndResetKeepsThePlacement) {
  SubView view;
  view.rotation = 90;
  Float u = 0.0, v = 0.0;
  ApplyViewTransform(view, u, v);
  EXPECT_EQ(Vector(u, v, 0.0), Vector(0.0, 1.0, 0.0));
  view.flipU = true;
  u = 0.25, v = 0.5;
  ApplyViewTransform(view, u, v);  // flip to 0.75, then (v, 1 - u)
  EXPECT_EQ(Vector(u, v, 0.0), Vector(0.5, 0.25, 0.0));

  view.matrix.offset = Vector(1.0, 2.0, 3.0);
  view.Reset();
  EXPECT_TRUE(view.rotation == 0 && !view.flipU && view.index == -1);
  EXPECT_EQ(view.matrix.offset, Vector(1.0, 2.0, 3.0));
}

TEST(LensTest, MarginEyeShiftAndViewTransformsShapeTheRay) {
  LensSettings lens = LensFor(Projection::kEquirect);
  EXPECT_NE(Traced(lens, -0.0099, 1.0199).first, Vector());  // ten pixels beyond the area
  EXPECT_EQ(Traced(lens, -0.0101, 0.5).first, Vector());
  EXPECT_EQ(Traced(lens, 0.5, 1.0201).first, Vector());
  lens.stereo = true;
  lens.eyeShift = 10;  // 0.005 per eye, wrapping once round the seam
  lens.currentEye.index = 0;
  EXPECT_NEAR(Traced(lens, 0.002, 0.5).second.x, 0.997, 1e-12);
  lens.currentEye.index = 1;
  lens.currentEye.flipU = true;
  lens.currentFace.rotation = 90;
  const auto [d, uv] = Traced(lens, 0.195, 0.3);  // shift to 0.2, turn to (0.3, 0.8), flip to (0.7, 0.8)
  EXPECT_TRUE(Near(uv, {0.7, 0.8, 0.0}, 1e-15));
  EXPECT_TRUE(Near(d, Traced(LensFor(Projection::kEquirect), 0.7, 0.8).first, 1e-15));
}

// The mask modes are rendered pixel by pixel in tests/render/lens_render_test.cpp.
TEST(LensTest, FisheyeDomeStereo) {
  LensSettings lens = LensFor(Projection::kFisheye);
  lens.domeStereo = true;
  EXPECT_EQ(Traced(lens, 0.5, 0.5).first, Vector(0.0, 0.0, 1.0));  // mono keeps the dome forward
  lens.stereo = true;
  EXPECT_EQ(Traced(lens, 0.5, 0.5).first, Vector(0.0, 1.0, 0.0));
  // Eye shift is greyed out for fisheyes, so it must not move the dome.
  const Vector unshifted = Traced(lens, 0.3, 0.6).first;
  lens.eyeShift = 40;
  lens.currentEye.index = 1;
  EXPECT_EQ(Traced(lens, 0.3, 0.6).first, unshifted);
}

TEST(LensTest, CustomSpansMapIntoThePanoramaAndTheCylinder) {
  LensSettings lens = LensFor(Projection::kEquirect);
  lens.equirectCustom = true;
  lens.uMin = lens.vMin = 0.25;  // half a turn, 45 degrees down
  lens.uMax = lens.vMax = 0.75;  // and up
  const auto [topRight, uv] = Traced(lens, 1.0, 0.0);
  EXPECT_TRUE(Near(topRight, Vector(1.0, 1.0, 0.0).GetNormalized(), 1e-15));
  EXPECT_EQ(uv, Vector(0.75, 0.25, 0.0));
  lens.projection = Projection::kCylindrical;
  lens.uMin = 0.375;  // a quarter turn
  lens.uMax = 0.625;
  const auto [upright, uprightUv] = Traced(lens, 1.0, 0.1);
  EXPECT_TRUE(Near(upright, Vector(1.0, 0.0, 1.0).GetNormalized(), 1e-15));
  EXPECT_EQ(uprightUv, Vector(0.625, 0.1, 0.0));  // the height moves the ray origin instead
  lens.cylinderTurned = true;
  const auto [turned, turnedUv] = Traced(lens, 0.3, 0.0);
  EXPECT_TRUE(Near(turned, Vector(0.0, 1.0, 1.0).GetNormalized(), 1e-15));
  EXPECT_EQ(turnedUv, Vector(0.3, 0.25, 0.0));
}

TEST(LensTest, CubemapFollowsTheCurrentFaceAndUnknownValuesTraceNothing) {
  LensSettings lens = LensFor(Projection::kCubemap);
  lens.currentFace.index = 4;
  lens.currentFace.rotation = 180;
  EXPECT_TRUE(Near(Traced(lens, 0.0, 0.5).first, Vector(-1.0, 0.0, -1.0).GetNormalized(), 1e-15));
  lens.currentFace.index = -1;
  EXPECT_EQ(Traced(lens, 0.5, 0.5).first, Vector());
  EXPECT_EQ(Traced(LensFor(static_cast<Projection>(4)), 0.5, 0.5).first, Vector());
}

// The pixel bounds must never refuse a pixel the exact margin test traces, and must refuse what
// lies a couple of pixels beyond it (or they would save nothing).
TEST(LensTest, RayPixelBoundsNeverRefuseATracedPixel) {
  for (const Vector& start : {Vector(0, 0, 0), Vector(1024, 512, 0), Vector(-3.5, 7.25, 0)}) {
    for (const Vector& size : {Vector(1024, 1024, 0), Vector(3, 2, 0), Vector(1, 1, 0), Vector(4097, 1, 0)}) {
      const RenderArea area = RenderArea::FromStartAndSize(start, size);
      LensSettings lens = LensFor(Projection::kEquirect);
      lens.pixelScale = Vector(1.0f / Float32(area.GetWidth()), 1.0f / Float32(area.GetHeight()), 0.0);
      const RayPixelBounds bounds = RayBoundsOf(area, lens);
      for (Float dx = -40.0; dx <= size.x + 40.0; dx += 0.25) {
        for (const Float dy : {-12.0, -10.0, 0.0, size.y - 1.0 + 10.0, size.y + 12.0}) {
          const Float x = start.x + dx, y = start.y + dy;
          const Vector uv = PixelToUv(area, x, y);
          const bool traced = Traced(lens, uv.x, uv.y).first != Vector();
          const bool farOutside = (size.x > 1 && (dx < -12.0 || dx > size.x + 11.0)) ||
                                  (size.y > 1 && (dy < -11.5 || dy > size.y + 11.0));
          EXPECT_TRUE(!traced || bounds.Contains(x, y)) << x << " " << y;
          EXPECT_FALSE(farOutside && bounds.Contains(x, y)) << x << " " << y;
        }
      }
    }
  }
}

struct GridCase {
  const char* name;
  void (*set)(LensSettings&);
  bool gridded = true;  // false: every pixel is left to LensDirection
};

// At every whole pixel in and around the area the grid gives what LensDirection gives, to the bit;
// between pixels, and where the lens is no panorama or a view turns a quarter, it leaves the
// answer to LensDirection.
TEST(EquirectGridTest, WholePixelsGiveTheLensDirectionToTheBit) {
  const GridCase cases[] = {
      {"plain", [](LensSettings&) {}},
      {"cropped",
       [](LensSettings& l) {
         l.equirectCustom = true, l.uMin = 0.2, l.uMax = 0.7, l.vMin = 0.1, l.vMax = 0.6;
       }},
      {"eye shift, left eye",
       [](LensSettings& l) { l.stereo = true, l.eyeShift = 24, l.currentEye.index = 0; }},
      {"eye shift, right eye, flipped",
       [](LensSettings& l) {
         l.stereo = true, l.eyeShift = 24, l.currentEye.index = 1,
         l.currentEye.flipU = l.currentFace.flipV = true;
       }},
      {"half turn", [](LensSettings& l) { l.currentFace.rotation = 180; }},
      {"quarter turn", [](LensSettings& l) { l.currentFace.rotation = 90; }, false},
      {"cylinder", [](LensSettings& l) { l.projection = Projection::kCylindrical; }, false},
  };
  const RenderArea area = RenderArea::FromStartAndSize({37, 11, 0}, {96, 40, 0});
  for (const GridCase& c : cases) {
    SCOPED_TRACE(c.name);
    LensSettings lens;
    c.set(lens);
    lens.pixelScale = Vector(1.0f / 96.0f, 1.0f / 40.0f, 0.0);
    const RayPixelBounds bounds = RayBoundsOf(area, lens);
    EquirectGrid grid;
    grid.Prepare(lens, area, bounds);
    Int32 found = 0, wholeInside = 0;
    for (Float y = 11 - 14; y <= 11 + 40 + 14; y += 0.5) {
      for (Float x = 37 - 14; x <= 37 + 96 + 14; x += 0.5) {
        const bool whole = x == std::trunc(x) && y == std::trunc(y) && bounds.Contains(x, y);
        wholeInside += whole;
        Vector d;
        Float u = -1.0, v = -1.0;
        if (!grid.Find(x, y, d, u, v)) continue;
        ++found;
        ASSERT_TRUE(whole) << x << " " << y;
        const Vector uv = PixelToUv(area, x, y);
        Float lensU = uv.x, lensV = uv.y;
        ASSERT_EQ(d, LensDirection(lens, lensU, lensV)) << x << " " << y;
        ASSERT_TRUE(d == Vector() || (u == lensU && v == lensV)) << x << " " << y;
      }
    }
    EXPECT_EQ(found, c.gridded ? wholeInside : 0);
  }
}

// The grid's rows as text, "." for an empty cell; a face outside the grid shows as "!".
std::string Grid(const CubemapSettings& settings, CubemapLayout layout = {}) {
  BuildCubemapLayout(settings, layout);
  std::string text;
  for (Int32 row = 0; row < CubemapLayout::kMaxCells; ++row) {
    for (Int32 column = 0; column < CubemapLayout::kMaxCells; ++column) {
      const Int32 face = layout.cells[column][row].index;
      const bool inside = column < layout.gridSize.x && row < layout.gridSize.y;
      if (inside || face >= 0) text += !inside ? '!' : face < 0 ? '.' : static_cast<char>('0' + face);
    }
    if (row < layout.gridSize.y) text += '|';
  }
  return text;
}

CubemapSettings Layout(Int32 kind, Int32 crossStart = 1) {
  return {.layout = kind,
          .singleFace = 2,
          .slots = {0, 1, 2, 3, 4, 5},
          .crossStart = crossStart,
          .tagEditorFace = 3};
}

// Every layout's faces at the front positions 0 to 3, with default and reordered slots, are rendered
// and checked cell by cell in tests/stereo/multi_camera_render_test.cpp; here what those renders never set.
TEST(CubemapLayoutTest, CrossStartsWrapIncludingNegativeOnes) {
  for (Int32 start : {4, -400}) EXPECT_EQ(Grid(Layout(kCubemapCrossHorizontal, start)), "3...|5140|2...|");
  EXPECT_EQ(Grid(Layout(kCubemapCrossHorizontal, -1)), "...3|1405|...2|");
  EXPECT_EQ(Grid(Layout(kCubemapCrossVertical, -3)), ".3.|051|.2.|.4.|");
}

TEST(CubemapLayoutTest, FreeAndSingleLayoutsSkipFacesOutsideTheCube) {
  CubemapSettings settings = Layout(kCubemapStripHorizontal);
  settings.slots = {-1, 6, 5, 100, -7, 0};
  EXPECT_EQ(Grid(settings), "..5..0|");
  settings = Layout(kCubemapSingleFace);
  settings.singleFace = 6;
  EXPECT_EQ(Grid(settings), ".|");
}

TEST(CubemapLayoutTest, UnknownLayoutsLeaveAnEmptyGridAndRebuildsResetEveryCell) {
  CubemapLayout used;
  used.cells[3][3].index = 2;
  used.cells[3][3].rotation = 90;
  used.cells[3][3].matrix.offset = Vector(1.0, 2.0, 3.0);
  EXPECT_EQ(Grid(Layout(7), used) + Grid(Layout(-1), used), "");
  BuildCubemapLayout(Layout(7), used);
  EXPECT_EQ(used.cells[3][3].rotation, 0);
  EXPECT_EQ(used.cells[3][3].matrix.offset, Vector(1.0, 2.0, 3.0));
}

constexpr Float kDegree = kPi / 180.0;

// The lowest point of the guide's lines; a huge value when it has none.
Float LowestZ(const GuideCache& guide) {
  return guide.lines.empty() ? 1e300 : std::ranges::min(guide.lines, {}, &Vector::z).z;
}

void ExpectNear(const Vector& actual, const Vector& expected) {
  EXPECT_LT((actual - expected).GetLength(), 1e-9) << actual.x << ", " << actual.y << ", " << actual.z;
}

TEST(SphereSection, CustomBandHasThreeMeridiansAndBothEdges) {
  GuideCache guide;
  BuildSphereSection(guide, kGuideRadius, kPi / 2, -kPi / 4, kPi / 4);
  std::set<Float> meridians;  // the longitudes (degrees) of the segments that run along a meridian
  for (size_t i = 0; i + 1 < guide.lines.size(); i += 2) {
    const Float a = std::atan2(guide.lines[i].y, guide.lines[i].x);
    const Float b = std::atan2(guide.lines[i + 1].y, guide.lines[i + 1].x);
    if (std::fabs(a - b) < 1e-9) meridians.insert(std::round(a / kDegree * 1e4) / 1e4);
  }
  EXPECT_EQ(meridians, (std::set<Float>{-135, -90, -45}));
  EXPECT_NEAR(LowestZ(guide), kGuideRadius * std::sin(-kPi / 4), 1e-9);
}

// How many lines and polygons each projection's guide has is checked where it is drawn
// (tests/view/data/commands.tsv); here where they lie.
TEST(SphereSection, ProjectionDefaultsCoverTheirPartOfTheSphere) {
  GuideCache panorama;
  BuildSphereSection(panorama, kGuideRadius, kTwoPi, -kHalfPi, kHalfPi);
  EXPECT_EQ(panorama.colours.size(), panorama.quads.size());
  ExpectNear(panorama.normals[5], panorama.quads[5] / kGuideRadius);

  GuideCache fisheye;
  BuildSphereSection(fisheye, kGuideRadius, kTwoPi, 0.0, kHalfPi);
  EXPECT_NEAR(LowestZ(fisheye), 0.0, 1e-9);

  GuideCache planet;
  BuildSphereSection(planet, kGuideRadius, kTwoPi, kHalfPi - 315.0 * kDegree * 0.5, kHalfPi);
  EXPECT_NEAR(LowestZ(planet), kGuideRadius * std::sin(-67.5 * kDegree), 1e-9);
}

TEST(SphereSection, CacheIsKeptUntilAnInputChanges) {
  GuideCache guide;
  BuildSphereSection(guide, kGuideRadius, kTwoPi, 0.0, kHalfPi);
  guide.lines.push_back(Vector(1e6));  // a marker a rebuild would drop
  BuildSphereSection(guide, kGuideRadius, kTwoPi, 0.0, kHalfPi);
  EXPECT_EQ(guide.lines.back(), Vector(1e6));
  BuildSphereSection(guide, kGuideRadius, kTwoPi, 0.1, kHalfPi);
  EXPECT_NE(guide.lines.back(), Vector(1e6));
}

TEST(SphereSection, EmptyOrHostileInputsGiveAnEmptyOrBoundedGuide) {
  GuideCache guide;
  for (const Vector& input : {Vector(0.0, -1.0, 1.0), Vector(kPi, 1.0, 1.0), Vector(kPi, 1.0, -1.0),
                              Vector(NAN, 0.0, 1.0), Vector(kPi, NAN, 1.0)}) {
    BuildSphereSection(guide, kGuideRadius, input.x, input.y, input.z);
    EXPECT_TRUE(guide.lines.empty() && guide.quads.empty()) << input.x << " " << input.y << " " << input.z;
  }
  // A fisheye angle far beyond a full turn reaches no further than the sphere's south pole.
  BuildSphereSection(guide, kGuideRadius, 1e30, -1e30, kHalfPi);
  EXPECT_EQ(guide.quads.size() / 4, 37u * 19);
  BuildCylinder(guide, 100.0, 1e30, 1e30);
  EXPECT_EQ(guide.quads.size() / 4, 37u);
}

TEST(Cylinder, DefaultSpansItsHeightAndAFlatOneHasNoLines) {
  GuideCache guide;
  BuildCylinder(guide, 100.0, kTwoPi, 100.0);
  ASSERT_FALSE(guide.quads.empty());
  for (size_t i = 0; i < guide.quads.size(); ++i) EXPECT_NEAR(std::fabs(guide.quads[i].z), 50.0, 1e-9);
  BuildCylinder(guide, 100.0, kTwoPi, 0.0);
  EXPECT_TRUE(guide.lines.empty());
  EXPECT_EQ(guide.kind, GuideKind::Cylinder);
}

TEST(GuideDrawMatrix, TurnsTheGuideOntoTheCamera) {
  const Matrix camera = HpbToMatrix(Vector(0.3, -0.2, 0.1)) * Move(Vector(5, 6, 7));
  // Fisheye: the cap's axis is the camera's forward axis; panorama: the band stands about its up axis.
  ExpectNear(GuideDrawMatrix(camera, false, false).axisZ, camera.axisZ);
  ExpectNear(GuideDrawMatrix(camera, true, false).TransformDirection(Vector(0, 0, 1)), camera.axisY);
  ExpectNear(GuideDrawMatrix(camera, true, false).TransformDirection(Vector(0, -1, 0)), camera.axisZ);
  // Orientation 1: the cylinder's axis lies along the camera's X axis.
  EXPECT_NEAR(std::fabs(Dot(GuideDrawMatrix(camera, true, true).axisZ, camera.axisX)), 1.0, 1e-9);
}

TEST(StereoDiagram, EyeMarkersSitWhereTheRigPutsTheEyes) {
  const Matrix camera = HpbToMatrix(Vector(0.5, 0.0, 0.0)) * Move(Vector(10, 20, 30));
  const StereoRig fixed{kRigFixed, false, 1000.0, 6.5};
  const Vector forward = PreferredDirection(0.0, 0.0);
  ExpectNear(forward, Vector(0, 0, 1));
  for (Int32 index : {0, 1}) {
    SubView eye;
    ASSERT_TRUE(PlaceEye(camera, index, 6.5, eye));
    const EyeMarker marker = EyeMarkerOf(camera, eye.matrix, index, forward, fixed, 1.0);
    const Float side = index == 0 ? -3.25 : 3.25;
    ExpectNear(marker.eye.offset, camera * Vector(side, 0, 0));
    // The eye's ray meets the zero-parallax point, where the tick starts.
    EXPECT_NEAR(marker.zeroParallaxLength, std::hypot(1000.0, 3.25), 1e-9);
    ExpectNear(marker.eye.offset + marker.eye.TransformDirection(forward) * marker.zeroParallaxLength,
               camera * Vector(0, 0, 1000));
    ExpectNear(marker.tickFrom, Vector(0, 0, 1000));
    EXPECT_NEAR((marker.tickTo - marker.tickFrom).GetLength(), kConvergenceTickLength, 1e-9);
  }
  // Omni rig looking right (longitude 90 degrees): the left eye moves in front of the camera.
  SubView left;
  ASSERT_TRUE(PlaceEye(camera, 0, 6.5, left));
  const EyeMarker turned = EyeMarkerOf(camera, left.matrix, 0, PreferredDirection(0.0, kHalfPi),
                                       StereoRig{kRigOmni, false, 0.0, 6.5}, 1.0);
  ExpectNear(turned.eye.offset, camera * Vector(0, 0, 3.25));
}

}  // namespace
}  // namespace orvex
