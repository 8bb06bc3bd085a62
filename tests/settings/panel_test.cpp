#include "linked_module.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag_params.h"
#include "runtime/attribute_manager.h"
#include "runtime/host_state.h"

#include <gtest/gtest.h>

using attribute_manager::Panel;
using attribute_manager::PanelItem;

namespace {
// The effect's panel as the attribute manager builds it, with a tagged camera in the active document.
class PanelTest : public LinkedModuleTest {
 protected:
  void SetUp() override {
    LinkedModuleTest::SetUp();
    ASSERT_NE(scene->AddTaggedCamera(), nullptr);
    effect = scene->Effect();
    ASSERT_NE(effect, nullptr);
  }
  void TearDown() override {
    panel = Panel();  // values the module made (bitmap-button values) go before its nodes
    LinkedModuleTest::TearDown();
  }

  void Edit(BaseList2D* node, Int32 id, const GeData& value) {
    ASSERT_TRUE(attribute_manager::Edit(node, id, value));
    panel = attribute_manager::BuildPanel(node);
    ASSERT_TRUE(panel.loaded);
  }
  void ShowEffect() { panel = attribute_manager::BuildPanel(effect); }

  const PanelItem* Item(Int32 id) const {
    for (const PanelItem& item : panel.items)
      if (item.element->id == id) return &item;
    return nullptr;
  }
  bool Shown(Int32 id) const { return Item(id) != nullptr; }
  bool Enabled(Int32 id) const { return Item(id) && Item(id)->enabled; }
  bool Open(Int32 id) const { return Item(id) && Item(id)->element->properties.GetBool(DESC_DEFAULTOPEN); }

  BaseVideoPost* effect = nullptr;
  Panel panel;
};
}  // namespace

TEST_F(PanelTest, EachStereoModeShowsItsOwnGroupAndEnablesItsOwnElements) {
  const Int32 groups[] = {ORVEXVP_GROUP_ANAGLYPH, ORVEXVP_GROUP_SIDE, ORVEXVP_GROUP_INTERLACE,
                          ORVEXVP_GROUP_SINGLE};
  for (Int32 mode = 0; mode < 4; ++mode) {
    SCOPED_TRACE(mode);
    Edit(effect, ORVEXVP_STEREO_MODE, GeData(mode));
    for (Int32 group = 0; group < 4; ++group) EXPECT_EQ(Shown(groups[group]), group == mode) << groups[group];
    EXPECT_EQ(Enabled(ORVEXVP_SWAP_EYES), mode != 3);
    EXPECT_EQ(Enabled(ORVEXVP_SINGLE_EYE), mode == 3);
  }
  // Hidden groups still hold their elements; the enabling rules speak for every mode.
  auto* vp = static_cast<VideoPostData*>(effect->GetNodeData());
  const auto enabled = [&](Int32 id) {
    return vp->GetDEnabling(effect, DescID(id), GeData(), DESCFLAGS_ENABLE_0, nullptr);
  };
  EXPECT_TRUE(enabled(ORVEXVP_SINGLE_EYE));
  EXPECT_FALSE(enabled(ORVEXVP_ANAGLYPH_COLORS));
  Edit(effect, ORVEXVP_STEREO_MODE, GeData(Int32(2)));
  EXPECT_TRUE(enabled(ORVEXVP_SIDE_LAYOUT));
  EXPECT_FALSE(enabled(ORVEXVP_LEFT_FLIP_U));
  EXPECT_TRUE(enabled(ORVEXVP_INTERLACE));
  Edit(effect, ORVEXVP_STEREO_MODE, GeData(Int32(0)));
  EXPECT_TRUE(Enabled(ORVEXVP_ANAGLYPH_METHOD));
  EXPECT_TRUE(Enabled(ORVEXVP_ANAGLYPH_GAMMA));
  Edit(effect, ORVEXVP_ANAGLYPH_COLORS, GeData(Int32(1)));
  EXPECT_FALSE(Enabled(ORVEXVP_ANAGLYPH_METHOD));
  Edit(effect, ORVEXVP_ANAGLYPH_METHOD, GeData(Int32(1)));
  EXPECT_FALSE(Enabled(ORVEXVP_ANAGLYPH_GAMMA));
}

TEST_F(PanelTest, EachLayoutShowsItsElementsAndThePreviewRowsOfItsGrid) {
  const Int32 rows[] = {3, 4, 1, 2, 6, 3, 1};
  for (Int32 layout = 0; layout < 7; ++layout) {
    SCOPED_TRACE(layout);
    Edit(effect, ORVEXVP_CUBE_LAYOUT, GeData(layout));
    EXPECT_EQ(Shown(ORVEXVP_CUBE_FACE), layout == 6);
    EXPECT_EQ(Enabled(ORVEXVP_CUBE_FACE), layout == 6);
    EXPECT_EQ(Shown(ORVEXVP_CUBE_CROSS_START), layout <= 1);
    EXPECT_EQ(Shown(ORVEXVP_GROUP_CUBE_SLOTS), layout >= 2 && layout <= 5);
    EXPECT_EQ(Enabled(ORVEXVP_CUBE_SLOT6), layout >= 2 && layout <= 5);
    for (Int32 row = 0; row < 6; ++row) {
      EXPECT_EQ(Shown(ORVEXVP_CUBE_PREVIEW + 6 * row), row < rows[layout]) << row;
      EXPECT_EQ(Shown(ORVEXVP_CUBE_PREVIEW + 6 * row + 5), row < rows[layout]) << row;
    }
  }
  EXPECT_FALSE(Shown(ORVEXVP_HIDDEN));
}

TEST_F(PanelTest, GroupsOpenForTheTagsProjectionAndTheStereoSwitch) {
  ShowEffect();
  EXPECT_FALSE(Open(ORVEXVP_GROUP_DOME));
  EXPECT_FALSE(Open(ORVEXVP_GROUP_CUBE));
  EXPECT_FALSE(Open(ORVEXVP_GROUP_STEREO));
  EXPECT_TRUE(Enabled(ORVEXVP_EYE_SHIFT));

  scene->tag->GetDataInstance()->SetInt32(ORVEXTAG_PROJECTION, ORVEXTAG_PROJECTION_FISHEYE);
  scene->doc->GetActiveRenderData()->GetDataInstance()->SetBool(RDATA_STEREO, true);
  ShowEffect();
  EXPECT_TRUE(Open(ORVEXVP_GROUP_DOME));
  EXPECT_FALSE(Open(ORVEXVP_GROUP_CUBE));
  EXPECT_TRUE(Open(ORVEXVP_GROUP_STEREO));
  EXPECT_FALSE(Enabled(ORVEXVP_EYE_SHIFT));  // a fisheye camera shifts no eyes

  Edit(scene->tag, ORVEXTAG_PROJECTION, GeData(Int32(ORVEXTAG_PROJECTION_CUBEMAP)));
  ShowEffect();
  EXPECT_TRUE(Open(ORVEXVP_GROUP_CUBE));
  EXPECT_FALSE(Open(ORVEXVP_GROUP_DOME));

  // Without a tagged camera the file's own folding stays and eye shift is enabled.
  scene->tag->GetDataInstance()->SetBool(ORVEXTAG_ENABLE, false);
  ShowEffect();
  EXPECT_TRUE(Open(ORVEXVP_GROUP_DOME));
  EXPECT_TRUE(Open(ORVEXVP_GROUP_STEREO));
  EXPECT_TRUE(Enabled(ORVEXVP_EYE_SHIFT));
}

TEST_F(PanelTest, OverlayFileAndLinkedElementsFollowTheirSwitches) {
  ShowEffect();
  EXPECT_FALSE(Enabled(ORVEXVP_MASK_FILE));
  EXPECT_FALSE(Enabled(ORVEXVP_TEXT));
  EXPECT_TRUE(Enabled(ORVEXVP_SHOW_TEXT));
  EXPECT_FALSE(Enabled(ORVEXVP_CHOICE));
  Edit(effect, ORVEXVP_SHOW_TEXT, GeData(true));
  EXPECT_TRUE(Enabled(ORVEXVP_TEXT));
  Edit(effect, ORVEXVP_OVERLAY, GeData(false));
  for (Int32 id : {ORVEXVP_SHOW_INFO, ORVEXVP_SHOW_TIME, ORVEXVP_SHOW_FRAME, ORVEXVP_SHOW_TEXT, ORVEXVP_TEXT,
                   ORVEXVP_TEXT_SIZE, ORVEXVP_LOGO_MODE})
    EXPECT_FALSE(Enabled(id)) << id;
  Edit(effect, ORVEXVP_MASK_MODE, GeData(Int32(1)));
  Edit(effect, ORVEXVP_LOGO_MODE, GeData(Int32(1)));
  EXPECT_TRUE(Enabled(ORVEXVP_MASK_FILE));
  EXPECT_TRUE(Enabled(ORVEXVP_LOGO_FILE));
  Edit(effect, ORVEXVP_TOGGLE, GeData(true));
  EXPECT_TRUE(Enabled(ORVEXVP_CHOICE));
}

TEST_F(PanelTest, NamesAndValuesFromTextGoThroughTheClickPath) {
  std::string error;
  ASSERT_TRUE(attribute_manager::SetByName(effect, "cube_layout=Strip 1 x 6", error)) << error;
  ShowEffect();
  EXPECT_TRUE(Shown(ORVEXVP_CUBE_PREVIEW_LAST));  // the post-set message rebuilt the grid
  ASSERT_TRUE(attribute_manager::SetByName(scene->tag, "ORVEXTAG_FISHEYE_FOV=315deg", error)) << error;
  EXPECT_NEAR(scene->tag->GetDataInstance()->GetFloat(ORVEXTAG_FISHEYE_FOV), 5.497787, 1e-6);

  EXPECT_FALSE(attribute_manager::SetByName(effect, "STEREO_MODE", error));
  ASSERT_TRUE(attribute_manager::PressByName(effect, "HEADER", error))
      << error;  // a click on a bitmap button
  EXPECT_EQ(host_state::OpenedPages().size(), 1u);
  EXPECT_FALSE(attribute_manager::PressByName(effect, "STEREO_MODE", error));
  EXPECT_NE(error.find("not a button"), std::string::npos) << error;
}
