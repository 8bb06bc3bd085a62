#include "linked_module.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag.h"
#include "orvextag/orvextag_params.h"
#include "orvextag/orvextag_settings.h"
#include "render_test_support.h"
#include "runtime/attribute_manager.h"
#include "runtime/host_state.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>

namespace {
constexpr Float kPi = std::numbers::pi;

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

class TagBehaviour : public LinkedModuleTest {
 protected:
  void SetUp() override {
    LinkedModuleTest::SetUp();
    tag = scene->AddTaggedCamera();
    ASSERT_NE(tag, nullptr);
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
  BaseContainer& Data() { return *tag->GetDataInstance(); }

  BaseTag* tag = nullptr;
  BaseObject* camera = nullptr;
  BaseVideoPost* effect = nullptr;
  BaseContainer* settings = nullptr;
};
}  // namespace

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
  const auto* priority = static_cast<const PriorityData*>(
      Get(tag, EXPRESSION_PRIORITY).GetCustomDataType(CUSTOMDATATYPE_PRIORITY));
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
  EXPECT_FALSE(isDomeStereo(data));
  data.SetInt32(ORVEXTAG_PROJECTION, ORVEXTAG_PROJECTION_FISHEYE);
  EXPECT_TRUE(isDomeStereo(data));
}
