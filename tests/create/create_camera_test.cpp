#include "runtime/console.h"
#include "runtime/host_state.h"
#include "runtime/plugin_registry.h"
#include "runtime/undo_history.h"
#include "scene/scene_tree.h"
#include "settings/orvex360camvp_params.h"
#include "test_scene.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// Every create command, named; what each leaves is read from the create command's scene
// (tests/create/data/commands.tsv).
struct Command {
  const char* name;
  Int32 id;
};

void PrintTo(const Command& command, std::ostream* out) { *out << command.name; }

const Command kCommands[] = {{"Fulldome", 1036701}, {"Fisheye", 1035136}, {"LittlePlanet", 1036687},
                             {"Panorama", 1035137}, {"Cubemap", 1036110}, {"Cylindrical", 1036297}};

class CreateCameraTest : public testing::TestWithParam<Command> {
 protected:
  void SetUp() override { console::Clear(); }

  // Runs the command and checks it made a camera with a selected tag and the effect; returns the camera.
  BaseObject* CreateAndCheck() {
    EXPECT_TRUE(ExecuteCommand(GetParam().id, doc));
    BaseObject* camera = doc->GetFirstObject();
    if (!camera) return nullptr;
    BaseTag* tag = camera->GetFirstTag();
    EXPECT_EQ(camera->GetType(), Ocamera);
    EXPECT_TRUE(tag && tag->GetType() == kTagType);
    if (!tag) return camera;
    EXPECT_EQ(doc->GetActiveTag(), tag);
    EXPECT_TRUE(tag->GetBit(BIT_ACTIVE));
    EXPECT_EQ(doc->GetActiveObject(), nullptr);  // the camera is not made active
    EXPECT_NE(scene.Effect(), nullptr);
    return camera;
  }

  TestScene scene;
  BaseDocument* doc = scene.doc;
};

}  // namespace

TEST_P(CreateCameraTest, MakesItsPresetCameraInOneStepThatUndoesAndRedoesExactly) {
  const std::string before = SceneTree(*doc);
  BaseObject* camera = CreateAndCheck();
  ASSERT_TRUE(camera);
  BaseTag* tag = camera->GetFirstTag();
  EXPECT_EQ(HistoryOf(*doc).UndoSteps().size(), 1u);
  const std::string after = SceneTree(*doc);

  ASSERT_TRUE(doc->DoUndo());
  EXPECT_EQ(doc->GetFirstObject(), nullptr);
  EXPECT_EQ(scene.Effect(), nullptr);  // the new tag had inserted it
  const std::string undone = SceneTree(*doc);
  EXPECT_EQ(undone.substr(0, undone.find("  redo steps")), before.substr(0, before.find("  redo steps")));

  ASSERT_TRUE(doc->DoRedo());
  EXPECT_EQ(doc->GetFirstObject(), camera);
  EXPECT_EQ(camera->GetFirstTag(), tag);
  EXPECT_EQ(SceneTree(*doc), after);
}

TEST_P(CreateCameraTest, RunningTwiceMakesTwoCamerasInTwoSteps) {
  BaseObject* first = CreateAndCheck();
  BaseObject* second = CreateAndCheck();
  ASSERT_TRUE(first && second);
  EXPECT_EQ(second->GetNext(), first);
  EXPECT_NE(first->GetFirstTag(), second->GetFirstTag());
  EXPECT_EQ(HistoryOf(*doc).UndoSteps().size(), 2u);
  EXPECT_FALSE(first->GetFirstTag()->GetBit(BIT_ACTIVE));  // the newest tag replaced the selection
  ASSERT_TRUE(doc->DoUndo());
  EXPECT_EQ(doc->GetFirstObject(), first);
  EXPECT_EQ(doc->GetActiveTag(), first->GetFirstTag());
  EXPECT_TRUE(first->GetFirstTag()->GetBit(BIT_ACTIVE));
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, CreateCameraTest, testing::ValuesIn(kCommands),
                         [](const testing::TestParamInfo<Command>& info) { return info.param.name; });

TEST(CreateCameraFaults, UndoPutsBackTheEffectSettingsTheTagsReactionChanged) {
  const TestScene scene;
  BaseDocument* doc = scene.doc;
  ASSERT_TRUE(ExecuteCommand(1035137, doc));  // a panorama camera brings the effect
  scene.Effect()->GetDataInstance()->SetInt32(ORVEXVP_MASK_MODE, 1);
  ASSERT_TRUE(ExecuteCommand(1036687, doc));
  EXPECT_EQ(scene.Effect()->GetDataInstance()->GetInt32(ORVEXVP_MASK_MODE), 2);
  console::Clear();
  ASSERT_TRUE(doc->DoUndo());
  EXPECT_EQ(scene.Effect()->GetDataInstance()->GetInt32(ORVEXVP_MASK_MODE), 1);
  EXPECT_TRUE(ConsoleHas("--- Orvex360Cam: UNDO!"));  // the panorama camera's tag heard of it
  ASSERT_TRUE(doc->DoRedo());
  EXPECT_EQ(scene.Effect()->GetDataInstance()->GetInt32(ORVEXVP_MASK_MODE), 2);
}

TEST(CreateCameraFaults, WithoutATagTheCameraAndItsUndoStepStay) {
  console::Clear();
  EXPECT_FALSE(ExecuteCommand(1036701, nullptr));
  EXPECT_TRUE(ConsoleHas(">>> ERROR no document"));

  BaseDocument* bare = BaseDocument::Alloc();  // no render settings: the tag cannot be made
  host_state::SetActiveDocument(bare);
  EXPECT_FALSE(ExecuteCommand(1036701, bare));
  EXPECT_TRUE(ConsoleHas(">>> ERROR cannot create the tag"));
  ASSERT_NE(bare->GetFirstObject(), nullptr);
  EXPECT_EQ(bare->GetFirstObject()->GetType(), Ocamera);
  EXPECT_EQ(bare->GetFirstObject()->GetFirstTag(), nullptr);
  EXPECT_EQ(HistoryOf(*bare).UndoSteps().size(), 1u);
  EXPECT_TRUE(bare->DoUndo());
  EXPECT_EQ(bare->GetFirstObject(), nullptr);
  BaseDocument::Free(bare);
}
