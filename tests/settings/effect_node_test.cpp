#include "linked_module.h"
#include "orvex360camvp/orvex360camvp.h"
#include "render_test_support.h"
#include "runtime/attribute_manager.h"
#include "runtime/bitmap_io.h"
#include "runtime/host_state.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"

#include <filesystem>
#include <tuple>

namespace {
class EffectNode : public LinkedModuleTest {
 protected:
  void SetUp() override {
    LinkedModuleTest::SetUp();
    scene->AddTaggedCamera();
    effect = scene->Effect();
    ASSERT_NE(effect, nullptr);
    node = effect->GetNodeData<Orvex360CamVP>();
  }

  // Sets a parameter the way the panel does, so the post-set message follows.
  void Set(BaseList2D* target, Int32 id, const GeData& value) {
    ASSERT_TRUE(target->SetParameter(DescID(id), value, DESCFLAGS_SET_USERINTERACTION));
  }

  BitmapPtr RequestBitmap(Int32 id) { return attribute_manager::RequestBitmap(effect, id); }
  BitmapPtr ResourceImage(const char* name) {
    BitmapPtr image(BaseBitmap::Alloc());
    EXPECT_EQ(image->Init(Filename(ORVEX_SOURCE_DIR "/res/") + Filename(name)), IMAGERESULT_OK) << name;
    return image;
  }

  BaseVideoPost* effect = nullptr;
  Orvex360CamVP* node = nullptr;
};

BaseContainer ExpectedEffectDefaults() {
  BaseContainer data;
  for (Int32 id : {1011, 1019, 1024, 1030, 1031, 1034, 1036, 1040, 1046, 1048}) data.SetInt32(id, 0);
  for (Int32 id : {1013, 1014, 1015, 1016, 1023, 1032, 1041, 1042, 1043, 1044, 1094}) data.SetBool(id, false);
  // 1051 to 1056: the cube's slots.
  const std::pair<Int32, Int32> integers[] = {{1037, 3}, {1049, 5}, {1057, 1}, {1051, 1}, {1052, 0},
                                              {1053, 3}, {1054, 2}, {1055, 5}, {1056, 4}};
  for (const auto& [id, value] : integers) data.SetInt32(id, value);
  for (Int32 id : {1012, 1020}) data.SetFilename(id, Filename());
  data.SetString(1017, "TITLE\nDirected by\nProduced by\nMusic by\nLicence");
  for (Int32 id : {1018, 1038}) data.SetFloat(id, 1.0);
  data.SetBool(1028, true);
  return data;
}
}  // namespace

TEST_F(EffectNode, InitWritesExactlyTheDefaults) {
  EXPECT_EQ(*effect->GetDataInstance(), ExpectedEffectDefaults());
  EXPECT_TRUE(node->RenderEngineCheck(effect, 0));
  EXPECT_TRUE(node->RenderEngineCheck(effect, 1023342));
}

TEST_F(EffectNode, CubeParametersRebuildTheGridAndDirtyTheDescriptions) {
  const UInt32 effectBefore = effect->GetDirty(DIRTYFLAGS_DESCRIPTION);
  const UInt32 tagBefore = scene->tag->GetDirty(DIRTYFLAGS_DESCRIPTION);
  Set(effect, ORVEXVP_CUBE_LAYOUT, GeData(Int32(4)));
  EXPECT_TRUE(RequestBitmap(ORVEXVP_CUBE_PREVIEW + 1)->IsEmpty());  // one column: the second cell is empty
  EXPECT_EQ(effect->GetDirty(DIRTYFLAGS_DESCRIPTION), effectBefore + 1);
  EXPECT_EQ(scene->tag->GetDirty(DIRTYFLAGS_DESCRIPTION), tagBefore + 1);

  Set(effect, ORVEXVP_CUBE_SLOT1, GeData(Int32(4)));
  EXPECT_TRUE(SamePixels(*RequestBitmap(ORVEXVP_CUBE_PREVIEW), *ResourceImage("cubemap_B.png")));  // face 4
  EXPECT_EQ(effect->GetDirty(DIRTYFLAGS_DESCRIPTION), effectBefore + 2);
  EXPECT_EQ(scene->tag->GetDirty(DIRTYFLAGS_DESCRIPTION), tagBefore + 1);  // slots are the effect's own

  Set(effect, ORVEXVP_CUBE_LAYOUT, GeData(Int32(6)));
  Set(effect, ORVEXVP_CUBE_FACE, GeData(Int32(2)));
  EXPECT_TRUE(SamePixels(*RequestBitmap(ORVEXVP_CUBE_PREVIEW), *ResourceImage("cubemap_D.png")));  // face 2
  EXPECT_TRUE(RequestBitmap(ORVEXVP_CUBE_PREVIEW + 1)->IsEmpty());  // one cell in all
}

TEST_F(EffectNode, StereoAndLinkedParametersReachTheTag) {
  const UInt32 tagBefore = scene->tag->GetDirty(DIRTYFLAGS_DESCRIPTION);
  const UInt32 effectBefore = effect->GetDirty(DIRTYFLAGS_DESCRIPTION);
  Set(effect, ORVEXVP_STEREO_MODE, GeData(Int32(1)));
  Set(effect, ORVEXVP_SIDE_LAYOUT, GeData(Int32(1)));
  EXPECT_EQ(scene->tag->GetDirty(DIRTYFLAGS_DESCRIPTION), tagBefore + 2);
  EXPECT_EQ(effect->GetDirty(DIRTYFLAGS_DESCRIPTION), effectBefore);

  const Int32 events = host_state::EventCount();
  Set(effect, ORVEXVP_TOGGLE, GeData(true));
  EXPECT_EQ(host_state::EventCount(), events + 1);
  // Without a tagged camera the tag is skipped.
  scene->tag->GetDataInstance()->SetBool(ORVEXTAG_ENABLE, false);
  Set(effect, ORVEXVP_CHOICE, GeData(Int32(2)));
  EXPECT_EQ(host_state::EventCount(), events + 1);
  EXPECT_EQ(node->State().tag, nullptr);
}

TEST_F(EffectNode, RenderNotificationsSetAndClearEditorRender) {
  // Only an editor render's start sets it; any end clears it.
  for (const auto& [start, external, editorRender] :
       {std::tuple{true, false, 1}, {false, false, 0}, {true, false, 1}, {false, true, 0}, {true, true, 0}}) {
    RenderNotificationData notice{scene->doc, start, external};
    EXPECT_TRUE(effect->Message(MSG_MULTI_RENDERNOTIFICATION, &notice));
    EXPECT_EQ(node->State().editorRender, editorRender) << start << external;
  }
  EXPECT_TRUE(effect->Message(MSG_MULTI_RENDERNOTIFICATION, nullptr));  // no data: nothing to read
}

// The panel hides the other stereo outputs' groups (tests/settings/data/commands.tsv); the enabling
// rules still speak for the elements they hold.
TEST_F(EffectNode, EnablingRulesSpeakForTheElementsOfHiddenGroups) {
  const auto enabled = [this](Int32 id) {
    return static_cast<VideoPostData*>(node)->GetDEnabling(effect, DescID(id), GeData(), DESCFLAGS_ENABLE_0,
                                                           nullptr);
  };
  Set(effect, ORVEXVP_STEREO_MODE, GeData(Int32(3)));
  EXPECT_TRUE(enabled(ORVEXVP_SINGLE_EYE));
  EXPECT_FALSE(enabled(ORVEXVP_ANAGLYPH_COLORS));
  Set(effect, ORVEXVP_STEREO_MODE, GeData(Int32(2)));
  EXPECT_TRUE(enabled(ORVEXVP_SIDE_LAYOUT));
  EXPECT_FALSE(enabled(ORVEXVP_LEFT_FLIP_U));
  EXPECT_TRUE(enabled(ORVEXVP_INTERLACE));
}

// The faces of the default cross and its empty cells are checked in the grid the panel command
// writes (panel_command_test.cpp); here the no-face image, hidden rows, the header and other elements.
TEST_F(EffectNode, BitmapButtonsShowTheirImageHoldTheirButtonValueAndTheHeaderClickOpensThePage) {
  EXPECT_TRUE(SamePixels(*RequestBitmap(ORVEXVP_CUBE_PREVIEW), *ResourceImage("cubemap_none.png")));
  EXPECT_TRUE(RequestBitmap(ORVEXVP_CUBE_PREVIEW_LAST)->IsEmpty());  // row 5 of a 3-row grid
  EXPECT_TRUE(SamePixels(*RequestBitmap(ORVEXVP_HEADER), *ResourceImage("header_beta.png")));
  EXPECT_EQ(RequestBitmap(ORVEXVP_TEXT), nullptr);
  // Face numbers beyond the seven images show the no-face image.
  Set(effect, ORVEXVP_CUBE_LAYOUT, GeData(Int32(6)));
  Set(effect, ORVEXVP_CUBE_FACE, GeData(Int32(7)));
  EXPECT_EQ(node->State().layout.cells[0][0].index, -1);
  // Whatever a cell holds, only the seven images are read.
  for (Int32 face : {6, 7, 99, -5}) {
    node->state.layout.cells[0][0].index = face;
    EXPECT_TRUE(SamePixels(*RequestBitmap(ORVEXVP_CUBE_PREVIEW), *ResourceImage("cubemap_none.png"))) << face;
  }
  // The cells are buttons holding their own button value; only a user's click on the header opens the page.
  GeData value;
  ASSERT_TRUE(effect->GetParameter(DescID(ORVEXVP_CUBE_PREVIEW + 3), value, DESCFLAGS_GET_0));
  const auto* button =
      static_cast<const BitmapButtonStruct*>(value.GetCustomDataType(CUSTOMDATATYPE_BITMAPBUTTON));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->node, effect);
  EXPECT_EQ(button->id, DescID(ORVEXVP_CUBE_PREVIEW + 3));

  ASSERT_TRUE(effect->SetParameter(DescID(ORVEXVP_HEADER), value, DESCFLAGS_SET_0));
  EXPECT_TRUE(host_state::OpenedPages().empty());
  Set(effect, ORVEXVP_HEADER, value);
  EXPECT_EQ(host_state::OpenedPages().size(), 1u);
}

// The face and header images are decoration: missing, their buttons show an empty bitmap and the
// console stays quiet.
TEST_F(EffectNode, MissingFaceAndHeaderImagesShowEmptyBitmapsSilently) {
  const render_test::TempFolder temp;
  const std::filesystem::path res = temp.Path() / "res";
  std::filesystem::copy(std::filesystem::path(ORVEX_SOURCE_DIR) / "res", res,
                        std::filesystem::copy_options::recursive);
  for (const char* name : {"cubemap_none.png", "cubemap_F.png", "header_beta.png"})
    std::filesystem::remove(res / name);
  RestartFrom(temp.Path().string());
  scene->AddTaggedCamera();
  effect = scene->Effect();
  ASSERT_NE(effect, nullptr);
  EXPECT_TRUE(RequestBitmap(ORVEXVP_CUBE_PREVIEW)->IsEmpty());
  EXPECT_TRUE(RequestBitmap(ORVEXVP_HEADER)->IsEmpty());
  EXPECT_FALSE(RequestBitmap(ORVEXVP_CUBE_PREVIEW + 1)->IsEmpty());  // the images still there show
  EXPECT_FALSE(ConsoleHas("ERROR"));
}
