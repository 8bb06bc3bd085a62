#include "geometry/pad_direction.h"
#include "geometry/scalar_math.h"
#include "orvextag/orvextag_params.h"
#include "orvextag/output_aspect.h"
#include "orvextag/tag_panel_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <tuple>
#include <utility>

namespace {
using orvex::kHalfPi;
using orvex::kPi;
constexpr Float kDegree = orvex::kPi / 180.0;
constexpr Float kOneDegreeSingle = static_cast<Float>(1.0f * 0.017453292f);

AspectInputs Inputs(Int32 projection, bool stereo = false, Int32 mode = 0, Int32 side = 0) {
  AspectInputs in;
  in.projection = projection;
  in.hspan = 2.0 * kPi;
  in.latMin = -kHalfPi;
  in.latMax = kHalfPi;
  in.cylRadius = 100.0;
  in.cylHeight = 100.0;
  in.cylHfov = 2.0 * kPi;
  in.effectOn = true;
  in.stereo = stereo;
  in.stereoMode = mode;
  in.sideLayout = side;
  return in;
}

// Both aspects and their labels: "mono [label] stereo [label]".
std::string Aspect(const AspectInputs& in) {
  const AspectResult r = ComputeAspect(in);
  char text[200];
  std::snprintf(text, sizeof text, "%.6g [%s] %.6g [%s]", r.mono, r.monoText.c_str(), r.stereo,
                r.stereoText.c_str());
  return text;
}
}  // namespace

TEST(OutputAspect, PanoramaFullAndCustomSpans) {
  EXPECT_EQ(Aspect(Inputs(0)), "2 [2:1 ] 0 []");
  EXPECT_EQ(ComputeAspect(Inputs(0)).vspan, kPi);
  AspectInputs custom = Inputs(0);
  custom.custom = true;
  custom.hspan = kPi;
  custom.latMin = -45.0 * kDegree;
  custom.latMax = 45.0 * kDegree;
  EXPECT_EQ(Aspect(custom), "2 [ (custom)] 0 []");
  EXPECT_DOUBLE_EQ(ComputeAspect(custom).vspan, kHalfPi);
  // A custom span that still covers the whole sphere counts as full.
  custom.hspan = 2.0 * kPi;
  custom.latMin = -kHalfPi;
  custom.latMax = kHalfPi;
  custom.stereo = true;
  custom.stereoMode = 1;
  EXPECT_EQ(Aspect(custom), "2 [2:1 ] 4 [4:1 (horizontal)]");
}

TEST(OutputAspect, FisheyeAndCylinderInEveryStereoOutput) {
  EXPECT_EQ(Aspect(Inputs(1)), "1 [1:1 ] 0 []");
  EXPECT_EQ(Aspect(Inputs(1, true, 1, 0)), "1 [1:1 ] 2 [2:1 (horizontal)]");
  EXPECT_EQ(Aspect(Inputs(1, true, 1, 1)), "1 [1:1 ] 0.5 [1:2 (vertical)]");
  EXPECT_EQ(Aspect(Inputs(1, true, 0)), "1 [1:1 ] 1 [1:1 (merged)]");
  EXPECT_EQ(Aspect(Inputs(1, true, 2)), "1 [1:1 ] 1 [1:1 (merged)]");
  EXPECT_EQ(Aspect(Inputs(1, true, 3)), "1 [1:1 ] 1 [1:1 (single channel)]");
  AspectInputs cylinder = Inputs(2, true, 1, 0);
  cylinder.cylHfov = kPi;  // half the cylinder: pi * 100 / 100
  EXPECT_EQ(Aspect(cylinder), "3.14159 [ (custom)] 6.28319 [ (horizontal)]");
}

TEST(OutputAspect, EveryCubemapLayoutSideBySide) {
  // Per layout: mono, then stereo side by side horizontally and vertically.
  const char* const rows[][3] = {
      {"1.33333 [4:3 (cross horizontal)] 2.66667 [8:3 (horizontal)]", "0.666667 [4:6 (vertical)]"},
      {"0.75 [3:4 (cross vertical)] 1.5 [6:4 (horizontal)]", "0.375 [3:8 (vertical)]"},
      {"6 [6:1 (horizontal)] 12 [12:1 (horizontal)]", "3 [6:2 (vertical)]"},
      {"1.5 [3:2 (horizontal)] 3 [6:2 (horizontal)]", "0.75 [3:4 (vertical)]"},
      {"0.166667 [1:6 (vertical)] 0.333333 [2:6 (horizontal)]", "0.0833333 [1:12 (vertical)]"},
      {"0.666667 [2:3 (vertical)] 1.33333 [4:3 (horizontal)]", "0.333333 [2:6 (vertical)]"},
      {"1 [1:1 (single channel)] 2 [2:1 (horizontal)]", "0.5 [1:2 (vertical)]"},
  };
  for (Int32 layout = 0; layout < 7; ++layout) {
    AspectInputs in = Inputs(3, true, 1, 0);
    in.cubeLayout = layout;
    EXPECT_EQ(Aspect(in), rows[layout][0]);
    in.sideLayout = 1;
    EXPECT_NE(Aspect(in).find(rows[layout][1]), std::string::npos) << layout << ": " << Aspect(in);
  }
}

TEST(OutputAspect, NoAspectWhenTheSettingsGiveNone) {
  AspectInputs off = Inputs(1, true, 1);
  off.effectOn = false;
  AspectInputs badLayout = Inputs(3);
  badLayout.cubeLayout = 9;
  AspectInputs flat = Inputs(2), unknown = Inputs(2);
  flat.cylHeight = 0.0;
  unknown.cylHeight = std::numeric_limits<Float>::quiet_NaN();
  AspectInputs line = Inputs(0);
  line.custom = true;
  line.latMin = line.latMax = 0.3;
  for (const AspectInputs& in : {off, Inputs(7), badLayout, flat, unknown, line})
    EXPECT_EQ(Aspect(in), "0 [] 0 []") << in.projection;
}

TEST(ResolutionFit, KeepsOneSideAndRoundsTheOther) {
  const RenderSize hd{1920.0, 1080.0};
  EXPECT_EQ(FitRenderSize(hd, 1.0, FitKeeps::Width), (RenderSize{1920.0, 1920.0}));
  EXPECT_EQ(FitRenderSize(hd, 1.0, FitKeeps::Height), (RenderSize{1080.0, 1080.0}));
  // 1000 / 3 = 333.33: rounds; 1001 / 2 = 500.5: halves round away from zero.
  EXPECT_EQ(FitRenderSize({1000.0, 1.0}, 3.0, FitKeeps::Width)->height, 333.0);
  EXPECT_EQ(FitRenderSize({1001.0, 1.0}, 2.0, FitKeeps::Width)->height, 501.0);
  // No size for aspects that give none, nor for one far beyond 65536 pixels.
  for (const Float aspect : {0.0, -2.0, std::numeric_limits<Float>::infinity(), 1e-9})
    EXPECT_FALSE(FitRenderSize(hd, aspect, FitKeeps::Width)) << aspect;
}

TEST(LatitudeRange, EditsKeepTheRangeOrdered) {
  // The edited end moves back to one degree from the other, and at the poles the other end moves
  // instead, so that the span never collapses and never leaves [-90, 90] degrees; values beyond the
  // poles or not numbers at all are clamped; an ordered range is left alone. (A minimum edited past
  // the maximum is followed through the tag in tests/tag/data/commands.tsv.)
  const Float nan = std::numeric_limits<Float>::quiet_NaN();
  const std::tuple<LatitudeRange, Int32, std::pair<Float, Float>> rows[] = {
      {{-1.55, -1.6}, ORVEXTAG_EQUIRECT_LAT_MAX, {-1.55, -1.55 + kOneDegreeSingle}},
      {{-kHalfPi, -kHalfPi}, ORVEXTAG_EQUIRECT_LAT_MIN, {-kHalfPi, -kHalfPi + kOneDegreeSingle}},
      {{kHalfPi, kHalfPi}, ORVEXTAG_EQUIRECT_LAT_MAX, {kHalfPi - kOneDegreeSingle, kHalfPi}},
      {{nan, 7.0}, ORVEXTAG_EQUIRECT_LAT_MIN, {-kHalfPi, kHalfPi}},
      {{-0.2, 0.4}, ORVEXTAG_EQUIRECT_LAT_MAX, {-0.2, 0.4}},
  };
  for (const auto& [range, edited, expected] : rows) {
    const LatitudeRange ordered = KeepLatitudesOrdered(range, edited);
    EXPECT_EQ(std::pair(ordered.min, ordered.max), expected) << range.min << " to " << range.max;
  }
}

TEST(PadDirection, CentresCornersAndDomeReset) {
  // The centre looks straight ahead on the panorama and the forward fisheye; so does the dome's
  // reset position with a 180-degree lens.
  for (const bool fisheye : {false, true}) {
    const orvex::PadDirection centre = orvex::PadToDirection({0.5, 0.5}, fisheye, false, kPi);
    EXPECT_NEAR(centre.lat, 0.0, 1e-12);
    EXPECT_NEAR(centre.lon, 0.0, 1e-12);
  }
  const orvex::PadPosition reset = orvex::PadResetPosition(true);
  const orvex::PadDirection zenith = orvex::PadToDirection(reset, true, true, kPi);
  EXPECT_NEAR(zenith.lat, 0.0, 1e-12);
  EXPECT_NEAR(zenith.lon, 0.0, 1e-12);
  EXPECT_EQ(orvex::PadResetPosition(false).v, 0.5);
  EXPECT_TRUE(orvex::IsPadResetRequest({-1.0, -1.0}));
  EXPECT_FALSE(orvex::IsPadResetRequest({-1.0, 0.0}));

  // Panorama: the top edge is the zenith (a quarter to the right, a quarter turn of longitude, is
  // clicked on the pad in tests/xypad).
  EXPECT_NEAR(orvex::PadToDirection({0.5, 0.0}, false, false, kPi).lat, static_cast<Float32>(kHalfPi), 1e-7);
  // The left edge looks straight back.
  EXPECT_NEAR(std::fabs(orvex::PadToDirection({0.0, 0.5}, false, false, kPi).lon), kPi, 1e-12);

  // Fisheye corner of a 180-degree lens: beyond the circle, no limit on the radius.
  const orvex::PadDirection corner = orvex::PadToDirection({1.0, 0.0}, true, false, kPi);
  EXPECT_TRUE(std::isfinite(corner.lat) && std::isfinite(corner.lon));
  // The right edge's middle is 90 degrees off the axis: on the horizon a quarter turn round.
  const orvex::PadDirection side = orvex::PadToDirection({1.0, 0.5}, true, false, kPi);
  EXPECT_NEAR(std::fabs(side.lon), kHalfPi, 1e-12);
}

TEST(PadDirection, BadPositionsStayFinite) {
  const Float nan = std::numeric_limits<Float>::quiet_NaN();
  for (const bool fisheye : {false, true}) {
    const orvex::PadDirection d = orvex::PadToDirection({nan, 1e300}, fisheye, fisheye, nan);
    EXPECT_TRUE(std::isfinite(d.lat) && std::isfinite(d.lon));
    EXPECT_LE(std::fabs(d.lat), static_cast<Float32>(kHalfPi));  // the limit is single precision
  }
}

TEST(TagPanelRules, HiddenAndEnabledFollowProjectionStereoAndEffect) {
  TagPanelFacts facts;
  facts.effectExists = true;
  facts.projection = 1;
  // Which group each projection shows, the stereo switch, the direction pad, the linked choice and
  // the effect's notice are followed through the tag's panel in tests/tag/data/commands.tsv.
  EXPECT_TRUE(IsTagElementHidden(ORVEXTAG_HIDDEN, facts));
  EXPECT_TRUE(IsTagElementEnabled(ORVEXTAG_FISHEYE_FOV, facts));
  EXPECT_FALSE(IsTagElementEnabled(ORVEXTAG_CYL_HEIGHT, facts));
  EXPECT_FALSE(IsTagElementEnabled(ORVEXTAG_EQUIRECT_VSPAN, facts));
  EXPECT_FALSE(IsTagElementEnabled(ORVEXTAG_FIT_HEIGHT, facts));  // no aspect yet
  facts.aspect = 1.0;
  EXPECT_TRUE(IsTagElementEnabled(ORVEXTAG_FIT_HEIGHT, facts));

  facts.stereo = true;
  facts.zeroParallaxMode = 0;
  EXPECT_FALSE(IsTagElementEnabled(ORVEXTAG_ZERO_PARALLAX, facts));
  EXPECT_TRUE(IsTagElementEnabled(ORVEXTAG_STEREO_DIRECTION_PAD, facts));
  EXPECT_FALSE(IsTagElementEnabled(ORVEXTAG_SEPARATION_MAP_SHADER, facts));
  facts.preferredDirection = false;
  EXPECT_FALSE(IsTagElementEnabled(ORVEXTAG_STEREO_DIRECTION_LAT, facts));

  // The effect missing (switched off: the panel command's rows): the notice shows, everything but the
  // master switch is off.
  facts.effectExists = false;
  EXPECT_FALSE(IsTagElementHidden(ORVEXTAG_VP_DISABLED_INFO, facts));
  EXPECT_TRUE(IsTagElementEnabled(ORVEXTAG_ENABLE, facts));
  EXPECT_FALSE(IsTagElementEnabled(ORVEXTAG_FISHEYE_FOV, facts));
  EXPECT_FALSE(IsTagElementEnabled(ORVEXTAG_PROTECT, facts));
  // The tag switched off: only its switch takes input.
  facts = TagPanelFacts{};
  facts.effectExists = true;
  facts.enabled = false;
  EXPECT_TRUE(IsTagElementEnabled(ORVEXTAG_ENABLE, facts));
  EXPECT_FALSE(IsTagElementEnabled(ORVEXTAG_PROJECTION, facts));
}
