#include "geometry/pad_direction.h"
#include "geometry/scalar_math.h"
#include "orvextag/orvextag.h"
#include "orvextag/orvextag_settings.h"
#include "orvextag/output_aspect.h"
#include "orvextag/tag_panel_rules.h"
#include "render_test_support.h"
#include "runtime/attribute_manager.h"
#include "runtime/host_state.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"
#include "settings/stereo_settings.h"
#include "tagged_camera.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <tuple>
#include <utility>

// The camera tag: its host-free rules (output aspect, resolution fit, latitude range, direction pad,
// panel rules), then the tag itself linked beside the host.

namespace {
using orvex::kHalfPi;
using orvex::kPi;
constexpr Float kDegree = orvex::kPi / 180.0;
constexpr Float kOneDegreeSingle = static_cast<Float>(1.0f * 0.017453292f);

AspectInputs Inputs(Int32 projection, bool stereo = false, Int32 mode = 0, Int32 side = 0) {
  return {.projection = projection,
          .hspan = 2.0 * kPi,
          .latMin = -kHalfPi,
          .latMax = kHalfPi,
          .cylRadius = 100.0,
          .cylHeight = 100.0,
          .cylHfov = 2.0 * kPi,
          .effectOn = true,
          .stereo = stereo,
          .stereoMode = mode,
          .sideLayout = side};
}

// Both aspects and their labels: "mono [label] stereo [label]".
std::string Aspect(const AspectInputs& in) {
  const AspectResult r = ComputeAspect(in);
  char text[200];
  std::snprintf(text, sizeof text, "%.6g [%s] %.6g [%s]", r.mono, r.monoText.c_str(), r.stereo,
                r.stereoText.c_str());
  return text;
}

// What a fresh tag holds: exactly these IDs with these values, so what Init leaves unwritten (the
// projection, protection and camera kind) reads as the container's empty answer.
BaseContainer ExpectedTagDefaults() {
  BaseContainer data;
  for (Int32 id : {1000, 1004, 1030}) data.SetBool(id, true);
  for (Int32 id : {1005, 1011, 1024, 1034, 1049}) data.SetBool(id, false);
  for (const auto& [id, value] : {std::pair{1017, 0}, {1028, 0}, {1050, 0}, {1054, 5}, {1027, 1}, {1029, 2}})
    data.SetInt32(id, value);
  const std::pair<Int32, Float> floats[] = {
      {1031, 0.0}, {1032, 0.0},      {1019, 100.0},   {1020, 100.0}, {1012, 2 * kPi}, {1018, 2 * kPi},
      {1008, kPi}, {1014, -kPi / 2}, {1015, kPi / 2}, {1025, 6.5},   {1026, 1000.0},  {1035, 0.5}};
  for (const auto& [id, value] : floats) data.SetFloat(id, value);
  data.SetVector(1053, Vector(0.5, 0.5, 0.0));
  data.SetLink(1037, nullptr);
  return data;
}

class TagBehaviour : public TaggedCameraTest {
 protected:
  void SetUp() override {
    TaggedCameraTest::SetUp();
    camera = tag->GetObject();
    effect = scene->Effect();
    settings = scene->doc->GetActiveRenderData()->GetDataInstance();
  }

  GeData Get(BaseList2D* node, Int32 id) {
    GeData value;
    EXPECT_TRUE(node->GetParameter(DescID(id), value, DESCFLAGS_GET_0)) << id;
    return value;
  }
  void Set(Int32 id, const GeData& value) { ASSERT_TRUE(attribute_manager::Edit(tag, id, value)); }

  BaseObject* camera = nullptr;
  BaseVideoPost* effect = nullptr;
  BaseContainer* settings = nullptr;
};
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
  custom = Inputs(0, true, 1);
  custom.custom = true;
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
  AspectInputs off = Inputs(1, true, 1), badLayout = Inputs(3), flat = Inputs(2), unknown = Inputs(2),
               line = Inputs(0);
  off.effectOn = false;
  badLayout.cubeLayout = 9;
  flat.cylHeight = 0.0;
  unknown.cylHeight = std::numeric_limits<Float>::quiet_NaN();
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
  TagPanelFacts facts{.projection = 1, .effectExists = true};
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
  facts = {.effectExists = true, .enabled = false};
  EXPECT_TRUE(IsTagElementEnabled(ORVEXTAG_ENABLE, facts));
  EXPECT_FALSE(IsTagElementEnabled(ORVEXTAG_PROJECTION, facts));
}

// The switched-off effect's notice is read from the panel command (tests/tag/data/commands.tsv).
TEST_F(TagBehaviour, ShowingTheTagBringsADeletedEffectBack) {
  effect->Remove();
  BaseVideoPost::Free(effect);
  attribute_manager::BuildPanel(tag);
  EXPECT_EQ(scene->EffectCount(), 1);
}

// The camera's stereo values following the tag's are read from the panel command
// (tests/tag/data/commands.tsv).
TEST_F(TagBehaviour, StereoLivesInTheRenderSettingsAndTheCamerasStereoModeFollowsIt) {
  Set(ORVEXTAG_STEREO, GeData(true));
  EXPECT_TRUE(settings->GetBool(RDATA_STEREO));
  EXPECT_FALSE(Data().GetBool(ORVEXTAG_STEREO));  // the tag keeps no copy
  // Switched elsewhere, the tag reads it; scene evaluation keeps the camera's own stereo mode in step.
  for (const bool stereo : {false, true, false}) {
    settings->SetBool(RDATA_STEREO, stereo);
    EXPECT_EQ(Get(tag, ORVEXTAG_STEREO).GetInt32(), stereo ? 1 : 0);
    scene->doc->ExecutePasses(nullptr, true, true, true);
    EXPECT_EQ(camera->GetDataInstance()->GetInt32(CAMERAOBJECT_STEREO_MODE), stereo ? 1 : 0);
  }
}

// Written through the tag, the linked options reach the effect (tests/tag/data/commands.tsv); the tag
// keeps no copy and reads the effect's values.
TEST_F(TagBehaviour, LinkedEffectOptionsLiveInTheEffect) {
  Set(ORVEXTAG_VP_TOGGLE, GeData(true));
  EXPECT_TRUE(effect->GetDataInstance()->GetBool(ORVEXVP_TOGGLE));
  EXPECT_FALSE(Data().GetBool(ORVEXTAG_VP_TOGGLE));
  effect->GetDataInstance()->SetInt32(ORVEXVP_CHOICE, 7);
  EXPECT_EQ(Get(tag, ORVEXTAG_VP_CHOICE).GetInt32(), 7);
}

// Switched off, the option takes the protection tag away (tests/tag/data/commands.tsv); here a
// protection tag deleted by hand switches the option off.
TEST_F(TagBehaviour, ProtectionTagFollowsTheOptionBothWays) {
  Set(ORVEXTAG_PROTECT, GeData(true));
  ASSERT_NE(camera->GetFirstTag(), nullptr);
  EXPECT_EQ(camera->GetFirstTag()->GetType(), Tprotection);
  BaseTag* protection = camera->GetTag(Tprotection);
  protection->Remove();  // deleted by hand
  BaseTag::Free(protection);
  scene->doc->ExecutePasses(nullptr, true, true, true);
  EXPECT_FALSE(Data().GetBool(ORVEXTAG_PROTECT));
}

// The question, the answers and the fitted sizes are read from the panel command
// (tests/tag/data/commands.tsv).
TEST_F(TagBehaviour, AFitTellsTheRenderSettingsOfTheirNewSize) {
  settings->SetFloat(RDATA_XRES, 1920.0);
  settings->SetFloat(RDATA_YRES, 1080.0);
  Set(ORVEXTAG_PROJECTION, GeData(Int32(1)));
  RenderData* renderData = scene->doc->GetActiveRenderData();
  const UInt32 changes = renderData->GetDirty(DIRTYFLAGS_DATA);
  host_state::SetDialogAnswer(GEMB_R_YES);
  attribute_manager::BuildPanel(tag);  // the panel shows the current aspect before the click
  ASSERT_TRUE(attribute_manager::Press(tag, ORVEXTAG_FIT_HEIGHT));
  EXPECT_EQ(settings->GetFloat(RDATA_YRES), 1920.0);
  EXPECT_EQ(renderData->GetDirty(DIRTYFLAGS_DATA), changes + 1);
}

// The button that opens the render settings is pressed through the panel command
// (tests/tag/data/commands.tsv).
TEST_F(TagBehaviour, ThePreviewDrawsTheSeparationMapAndTheIconFollowsTheCamerasRenderMode) {
  const BitmapPtr preview = attribute_manager::RequestBitmap(tag, ORVEXTAG_SEPARATION_MAP_PREVIEW);
  ASSERT_TRUE(preview);
  ASSERT_EQ(preview->GetBw(), 50);
  for (const Int32 at : {0, 25, 49}) EXPECT_EQ(preview->GetPixelFloat(at, 49 - at), Vector(1.0, 0.0, 0.0));

  auto* data = tag->GetNodeData<OrvexTag>();
  EXPECT_EQ(attribute_manager::RequestCustomIcon(tag), data->StateIcon(true));
  camera->SetRenderMode(MODE_OFF);
  EXPECT_EQ(attribute_manager::RequestCustomIcon(tag), data->StateIcon(false));
}

TEST_F(TagBehaviour, BadValuesAndOddPlacesNeverBreakIt) {
  const Float nan = std::numeric_limits<Float>::quiet_NaN();
  Data().SetInt32(ORVEXTAG_PROJECTION, 42);
  Data().SetFloat(ORVEXTAG_CYL_HEIGHT, nan);
  Data().SetVector(ORVEXTAG_STEREO_DIRECTION_PAD, Vector(nan, 5.0, nan));
  scene->doc->ExecutePasses(nullptr, true, true, true);
  EXPECT_EQ(Data().GetFloat(ORVEXTAG_ASPECT), 0.0);
  tag->Message(MSG_DESCRIPTION_POSTSETPARAMETER, nullptr);
  DescID pad(ORVEXTAG_STEREO_DIRECTION_PAD);
  DescriptionPostSetValue postSet{&pad, nullptr};
  tag->Message(MSG_DESCRIPTION_POSTSETPARAMETER, &postSet);
  EXPECT_TRUE(std::isfinite(Data().GetFloat(ORVEXTAG_STEREO_DIRECTION_LAT)));

  // A tag on an object that is not a camera mirrors nothing onto it.
  BaseObject* cube = BaseObject::Alloc(Ocube);
  scene->doc->InsertObject(cube, nullptr);
  BaseTag* stray = BaseTag::Alloc(kTagType);
  cube->InsertTag(stray);
  EXPECT_TRUE(stray->SetParameter(DescID(ORVEXTAG_EYE_SEPARATION), GeData(9.0), DESCFLAGS_SET_0));
  EXPECT_EQ(cube->GetDataInstance()->GetDataPointer(CAMERAOBJECT_STEREO_EYESEPARATION), nullptr);
  EXPECT_TRUE(stray->SetParameter(DescID(ORVEXTAG_PROTECT), GeData(true), DESCFLAGS_SET_0));
  EXPECT_EQ(cube->GetTag(Tprotection), nullptr);

  // A tag outside any document: its stereo switch has nowhere to go and says so.
  BaseTag* loose = BaseTag::Alloc(kTagType);
  EXPECT_FALSE(loose->SetParameter(DescID(ORVEXTAG_STEREO), GeData(true), DESCFLAGS_SET_0));
  EXPECT_TRUE(ConsoleHas("STEREO not switched"));
  Description description;
  DESCFLAGS_DESC flags = DESCFLAGS_DESC_0;
  EXPECT_TRUE(loose->GetNodeData()->GetDDescription(loose, &description, flags));
  EXPECT_TRUE(loose->GetNodeData<OrvexTag>()->Execute(loose, nullptr, nullptr, nullptr, 0,
                                                      EXECUTIONFLAGS_0) == EXECUTIONRESULT_OK);
  BaseTag::Free(loose);
}

TEST_F(TagBehaviour, AFreshTagHoldsExactlyTheDefaultsInitWrites) {
  EXPECT_EQ(Data(), ExpectedTagDefaults());
  // The render settings' stereo switch is not the tag's to touch on creation.
  EXPECT_FALSE(settings->GetBool(RDATA_STEREO));
}

TEST_F(TagBehaviour, ThePriorityBecomesCameraDependentOutsideTheContainer) {
  const GeData value = Get(tag, EXPRESSION_PRIORITY);  // the priority lives inside this value
  const auto* priority = static_cast<const PriorityData*>(value.GetCustomDataType(CUSTOMDATATYPE_PRIORITY));
  ASSERT_NE(priority, nullptr);
  EXPECT_TRUE(priority->GetPriorityValue(PRIORITYVALUE_CAMERADEPENDENT).GetBool());
  EXPECT_EQ(Data().GetDataPointer(EXPRESSION_PRIORITY), nullptr);
  // A value of another type is no priority.
  EXPECT_FALSE(tag->SetParameter(DescID(EXPRESSION_PRIORITY), GeData(Int32(3)), DESCFLAGS_SET_0));
}

// The test scene starts without the effect: the first tag brought it.
TEST_F(TagBehaviour, CreatingTagsAddsTheEffectOnceToTheActiveRenderSettingsAndNoneWithoutADocument) {
  EXPECT_EQ(FindVideoPost(tag, nullptr, false), effect);
  scene->AddTaggedCamera();
  EXPECT_EQ(scene->EffectCount(), 1);
  // Without a document there is no effect and no tag.
  host_state::SetActiveDocument(nullptr);
  EXPECT_EQ(FindVideoPost(nullptr, nullptr, true), nullptr);
  EXPECT_EQ(BaseTag::Alloc(kTagType), nullptr);
  BaseDocument* bare = BaseDocument::Alloc();
  EXPECT_EQ(FindVideoPost(nullptr, bare, true), nullptr);  // no render settings
  BaseDocument::Free(bare);
}

TEST_F(TagBehaviour, StateIconsLoadAndMissingOrBrokenOnesAreLogged) {
  EXPECT_NE(tag->GetNodeData<OrvexTag>()->StateIcon(true), nullptr);
  EXPECT_NE(tag->GetNodeData<OrvexTag>()->StateIcon(false), nullptr);

  const render_test::TempFolder temp;
  const std::filesystem::path res = temp.Path() / "res";
  std::filesystem::copy(std::filesystem::path(ORVEX_SOURCE_DIR) / "res", res,
                        std::filesystem::copy_options::recursive);
  std::filesystem::remove(res / "orvextag_off.tif");
  std::ofstream(res / "orvextag.tif", std::ios::trunc) << "not an image";
  RestartFrom(temp.Path().string());
  auto* broken = scene->AddTaggedCamera()->GetNodeData<OrvexTag>();
  EXPECT_EQ(broken->StateIcon(false), nullptr);
  EXPECT_EQ(broken->StateIcon(true), nullptr);
  EXPECT_TRUE(ConsoleHas(">>> ERROR bmp not exist [" + (res / "orvextag_off.tif").string() + "]"));
  EXPECT_TRUE(ConsoleHas(">>> ERROR loadign bmp [" + (res / "orvextag.tif").string() + "]"));
}

TEST(TagSettings, DomeStereoNeedsTheFisheyeProjectionAndTheDomeLens) {
  BaseContainer data;
  WriteTagDefaults(data);
  data.SetInt32(ORVEXTAG_FISHEYE_TYPE, ORVEXTAG_FISHEYE_TYPE_DOME);
  EXPECT_FALSE(IsDomeStereo(data));
  data.SetInt32(ORVEXTAG_PROJECTION, ORVEXTAG_PROJECTION_FISHEYE);
  EXPECT_TRUE(IsDomeStereo(data));
}

// The eyes converge only while the mode is on and they stand apart; the render and the viewport's
// diagram both ask this one rule.
TEST(TagSettings, ZeroParallaxNeedsItsModeAndEyesApart) {
  struct Case {
    Int32 mode;
    Float separation;
    Float expected;
  };
  for (const Case& row : {Case{1, 6.5, 250.0}, Case{0, 6.5, 0.0}, Case{1, 0.0, 0.0}}) {
    BaseContainer data;
    WriteTagDefaults(data);
    data.SetInt32(ORVEXTAG_ZERO_PARALLAX_MODE, row.mode);
    data.SetFloat(ORVEXTAG_EYE_SEPARATION, row.separation);
    data.SetFloat(ORVEXTAG_ZERO_PARALLAX, 250.0);
    EXPECT_EQ(ZeroParallaxDistance(data), row.expected) << row.mode << " " << row.separation;
  }
}
