#include "files_support.h"
#include "plugin_folder.h"
#include "runtime/bitmap_io.h"
#include "runtime/console.h"
#include "runtime/plugin_loader.h"
#include "runtime/plugin_registry.h"
#include "test_scene.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

namespace {
constexpr Int32 kSystemStart = 1;
constexpr Int32 kPluginStart = 2;
constexpr Int32 kShutdown = 3;
constexpr Int32 kResourceMessage = 1;

struct Registration {
  PluginKind kind;
  Int32 id;
  std::string name;
  Int32 info;
  std::string description, icon;  // the icon's file in res/, empty for none
};

class EntryTest : public testing::Test {
 protected:
  void SetUp() override {
    console::SetEcho(false);
    console::Clear();
  }
  void TearDown() override {
    module.reset();  // the module's code goes before the registry drops what it registered
    PluginRegistry::Instance().Clear();
  }

  // Opens a fresh instance of the module from `copy` without starting it.
  void OpenFresh() {
    std::string error;
    module = LoadedModule::Open(copy.Folder(), error);
    ASSERT_TRUE(module) << error;
  }
  // Starts the opened module as a host of that API version does, with or without its folder.
  Int32 Start(Int32 version = kHostApiVersion, bool withPath = true) {
    C4D_HostTable host{version, "test"};
    Filename path(String(copy.Folder()));
    return module->Call(kSystemStart, &host, nullptr, withPath ? &path : nullptr);
  }

  PluginFolderCopy copy;
  std::unique_ptr<LoadedModule> module;
};
}  // namespace

TEST_F(EntryTest, RegistersTheNinePluginsInOrder) {
  std::string error;
  module = LoadedModule::Load(ORVEX_PLUGIN_DIR, error);
  ASSERT_TRUE(module) << error;
  const std::vector<Registration> expected = {
      {PluginKind::VideoPost, 1033675, "Orvex360Cam", 32, "Orvex360Cam", ""},
      {PluginKind::Command, 1036701, "Create Fulldome Camera", 0, "", "orvextag_fish.tif"},
      {PluginKind::Command, 1035136, "Create Fisheye Camera", 0, "", "orvextag_fish.tif"},
      {PluginKind::Command, 1035137, "Create 360 Panorama Camera", 0, "", "orvextag_pano.tif"},
      {PluginKind::Command, 1036297, "Create Cylindrical Camera", 0, "", "orvextag_cylindrical.tif"},
      {PluginKind::Command, 1036110, "Create Cubemap Camera", 0, "", "orvextag_skybox.tif"},
      {PluginKind::Command, 1036687, "Create Little Planet Camera", 0, "", "orvextag_fish.tif"},
      {PluginKind::Tag, 1035138, "Orvex360Cam Tag", 9, "OrvexTag", "orvextag.tif"},
      {PluginKind::CustomGui, 1036905, "XY Pad", 2, "XYPAD", ""},
  };
  const auto& entries = PluginRegistry::Instance().Entries();
  ASSERT_EQ(entries.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& [kind, id, name, info, description, icon] = expected[i];
    EXPECT_EQ(std::tie(entries[i]->kind, entries[i]->id, entries[i]->name, entries[i]->info,
                       entries[i]->descriptionName),
              std::tie(kind, id, name, info, description));
    ASSERT_EQ(entries[i]->icon != nullptr, !icon.empty()) << name;
    BitmapPtr file(BaseBitmap::Alloc());  // the icon is its file's image, pixel for pixel
    if (entries[i]->icon) {
      EXPECT_EQ(file->Init(Filename((ORVEX_PLUGIN_DIR "/res/" + icon).c_str())), IMAGERESULT_OK);
      EXPECT_TRUE(SamePixels(*entries[i]->icon, *file)) << name;
    }
    EXPECT_EQ(entries[i]->help, kind == PluginKind::Command ? name : entries[i]->help);
  }
  EXPECT_EQ(module->Priority(), -1000000);
}

TEST_F(EntryTest, AnswersVersionQueriesAndUnknownActionsAndMessages) {
  OpenFresh();
  EXPECT_EQ(module->Call(4, reinterpret_cast<void*>(1), reinterpret_cast<void*>(2)), 5);
  EXPECT_EQ(module->Call(5), -1);
  EXPECT_EQ(module->Call(99), -1);
  Int32 priority = 0;
  EXPECT_EQ(module->SendMessage(0, &priority), 1);
  EXPECT_EQ(priority, -1000000);
  EXPECT_EQ(module->SendMessage(0, nullptr), -1);  // nowhere to write the priority
  EXPECT_EQ(module->SendMessage(1003), -1);
  EXPECT_EQ(module->SendMessage(77), -1);
}

TEST_F(EntryTest, TwoStartsAndOneShutdownKeepTheModuleUpTheSecondTearsItDown) {
  OpenFresh();
  EXPECT_EQ(Start(), 1);
  EXPECT_EQ(Start(), 1);
  EXPECT_EQ(module->SendMessage(kResourceMessage), 1);
  EXPECT_EQ(module->Call(kShutdown), 1);
  EXPECT_EQ(module->SendMessage(kResourceMessage), 1);  // still set up: the module path is there
  EXPECT_EQ(module->Call(kShutdown), 1);
  EXPECT_EQ(module->SendMessage(kResourceMessage), -1);  // torn down
  EXPECT_EQ(module->Call(kShutdown), 1);                 // an extra shutdown changes nothing
}

TEST_F(EntryTest, AnOldHostOrAMissingModulePathIsRefused) {
  OpenFresh();
  EXPECT_EQ(Start(16048), -3);
  EXPECT_EQ(Start(16049, false), -3);                    // the oldest accepted host, without the folder
  EXPECT_EQ(module->SendMessage(kResourceMessage), -1);  // nothing was set up
  // A refused start leaves no half set-up module behind: the next good start works.
  EXPECT_EQ(Start(16049), 1);
  EXPECT_EQ(module->SendMessage(kResourceMessage), 1);
  module->Call(kShutdown);

  std::string error;
  EXPECT_FALSE(LoadedModule::Load(copy.Folder(), error, 16000));
  files::ExpectHolds(error, {"refused to start"});
}

TEST_F(EntryTest, AFailingFirstRegistrationLeavesTheOtherEightUnregistered) {
  ASSERT_TRUE(RegisterVideoPostPlugin(
      1033675, "Someone else's effect", 0, [] { return static_cast<NodeData*>(nullptr); }, "", 0, 0));
  OpenFresh();
  ASSERT_EQ(Start(), 1);
  ASSERT_EQ(module->SendMessage(kResourceMessage), 1);
  EXPECT_EQ(module->Call(kPluginStart), 0);
  EXPECT_EQ(PluginRegistry::Instance().Entries().size(), 1u);
  module->Call(kShutdown);
}

// A missing icon is no error; a missing string is reported once and registration goes on.
TEST_F(EntryTest, AMissingIconOrStringLeavesRegistrationGoingOn) {
  std::filesystem::remove(copy.Path() / "res" / "orvextag.tif");
  std::filesystem::remove(copy.Path() / "res" / "map_dome.png");
  std::ofstream(copy.Path() / "res" / "strings_en-US" / "strings.json")
      << R"({"strings": {"10000": "Effect"}})";
  std::string error;
  module = LoadedModule::Load(copy.Folder(), error);
  ASSERT_TRUE(module) << error;
  EXPECT_EQ(PluginRegistry::Instance().Entries().size(), 9u);
  EXPECT_EQ(PluginRegistry::Instance().Find(1035138)->icon, nullptr);
  EXPECT_TRUE(ConsoleHas("string resource 10003 not found"));
}

// The other broken folders are rows of data/commands.tsv; here the one the tool cannot show, and a
// registration refused part way, which takes back the plugins registered before it.
TEST_F(EntryTest, BrokenPluginFoldersGiveOneClearErrorAndLeaveNothingRegistered) {
  std::string error;
  EXPECT_FALSE(LoadedModule::Load("/nonexistent/Orvex360Cam", error));
  files::ExpectHolds(error, {"plugin folder not found"});
  const PluginFolderCopy fresh;
  std::filesystem::remove(fresh.Path() / "res/description/OrvexTag.json");
  EXPECT_FALSE(LoadedModule::Load(fresh.Folder(), error));
  files::ExpectHolds(error,
                     {"failed to register its plugins: registration of tag 1035138 \"Orvex360Cam Tag\" "
                      "refused: its description"});
  EXPECT_TRUE(PluginRegistry::Instance().Entries().empty());
}
