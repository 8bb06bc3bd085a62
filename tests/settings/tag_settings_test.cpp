#include "linked_module.h"
#include "orvextag/orvextag.h"
#include "orvextag/orvextag_params.h"
#include "orvextag/orvextag_settings.h"
#include "render_test_support.h"
#include "runtime/host_state.h"

#include <filesystem>
#include <fstream>
#include <numbers>

namespace fs = std::filesystem;

namespace {
using TagSettings = LinkedModuleTest;
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
}  // namespace

TEST_F(TagSettings, AFreshTagHoldsExactlyTheDefaultsInitWrites) {
  BaseTag* tag = scene->AddTaggedCamera();
  ASSERT_NE(tag, nullptr);
  EXPECT_EQ(*tag->GetDataInstance(), ExpectedTagDefaults());
  // The render settings' stereo switch is not the tag's to touch on creation.
  EXPECT_FALSE(scene->doc->GetActiveRenderData()->GetDataInstance()->GetBool(RDATA_STEREO));
}

TEST_F(TagSettings, ThePriorityBecomesCameraDependentOutsideTheContainer) {
  BaseTag* tag = scene->AddTaggedCamera();
  GeData data;
  ASSERT_TRUE(tag->GetParameter(DescID(EXPRESSION_PRIORITY), data, DESCFLAGS_GET_0));
  const auto* priority = static_cast<const PriorityData*>(data.GetCustomDataType(CUSTOMDATATYPE_PRIORITY));
  ASSERT_NE(priority, nullptr);
  EXPECT_TRUE(priority->GetPriorityValue(PRIORITYVALUE_CAMERADEPENDENT).GetBool());
  EXPECT_EQ(tag->GetDataInstance()->GetDataPointer(EXPRESSION_PRIORITY), nullptr);
  // A value of another type is no priority.
  EXPECT_FALSE(tag->SetParameter(DescID(EXPRESSION_PRIORITY), GeData(Int32(3)), DESCFLAGS_SET_0));
}

TEST_F(TagSettings, CreatingTagsAddsTheEffectOnceToTheActiveRenderSettingsAndNoneWithoutADocument) {
  ASSERT_EQ(scene->EffectCount(), 0);
  scene->AddTaggedCamera();
  EXPECT_EQ(scene->EffectCount(), 1);
  EXPECT_EQ(FindVideoPost(scene->tag, nullptr, false), scene->Effect());
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

TEST_F(TagSettings, StateIconsLoadAndMissingOrBrokenOnesAreLogged) {
  auto* tag = scene->AddTaggedCamera()->GetNodeData<OrvexTag>();
  EXPECT_NE(tag->StateIcon(true), nullptr);
  EXPECT_NE(tag->StateIcon(false), nullptr);

  const render_test::TempFolder temp;
  const fs::path& folder = temp.Path();
  fs::copy(fs::path(ORVEX_SOURCE_DIR) / "res", folder / "res", fs::copy_options::recursive);
  fs::remove(folder / "res" / "orvextag_off.tif");
  std::ofstream(folder / "res" / "orvextag.tif", std::ios::trunc) << "not an image";
  RestartFrom(folder.string());
  auto* broken = scene->AddTaggedCamera()->GetNodeData<OrvexTag>();
  EXPECT_EQ(broken->StateIcon(false), nullptr);
  EXPECT_EQ(broken->StateIcon(true), nullptr);
  EXPECT_TRUE(ConsoleHas(">>> ERROR bmp not exist [" + (folder / "res" / "orvextag_off.tif").string() + "]"));
  EXPECT_TRUE(ConsoleHas(">>> ERROR loadign bmp [" + (folder / "res" / "orvextag.tif").string() + "]"));
}

TEST_F(TagSettings, DomeStereoNeedsTheFisheyeProjectionAndTheDomeLens) {
  BaseContainer data;
  WriteTagDefaults(data);
  data.SetInt32(ORVEXTAG_FISHEYE_TYPE, ORVEXTAG_FISHEYE_TYPE_DOME);
  EXPECT_FALSE(isDomeStereo(data));
  data.SetInt32(ORVEXTAG_PROJECTION, ORVEXTAG_PROJECTION_FISHEYE);
  EXPECT_TRUE(isDomeStereo(data));
}
