#include "geometry/guide_geometry.h"
#include "geometry/rotation.h"
#include "geometry/scalar_math.h"
#include "geometry/stereo_diagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

using namespace orvex;

constexpr Float kDegree = kPi / 180.0;

// The longitudes (degrees) of the segments that run along a meridian.
std::set<Float> MeridianLongitudes(const GuideCache& guide) {
  std::set<Float> longitudes;
  for (size_t i = 0; i + 1 < guide.lines.size(); i += 2) {
    const Float a = std::atan2(guide.lines[i].y, guide.lines[i].x);
    const Float b = std::atan2(guide.lines[i + 1].y, guide.lines[i + 1].x);
    if (std::fabs(a - b) < 1e-9) longitudes.insert(std::round(a / kDegree * 1e4) / 1e4);
  }
  return longitudes;
}

Float LowestZ(const GuideCache& guide) {
  Float lowest = 1e300;
  for (const Vector& p : guide.lines) lowest = std::min(lowest, p.z);
  return lowest;
}

void ExpectNear(const Vector& actual, const Vector& expected) {
  EXPECT_LT((actual - expected).GetLength(), 1e-9) << actual.x << ", " << actual.y << ", " << actual.z;
}

TEST(SphereSection, CustomBandHasThreeMeridiansAndBothEdges) {
  GuideCache guide;
  BuildSphereSection(guide, kGuideRadius, kPi / 2, -kPi / 4, kPi / 4);
  EXPECT_EQ(MeridianLongitudes(guide), (std::set<Float>{-135, -90, -45}));
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
