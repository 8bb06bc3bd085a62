#include "module_log.h"
#include "guarded_entries.h"
#include "orvex360camvp/orvex360camvp.h"
#include "orvextag/orvextag.h"
#include "runtime/console.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <stdexcept>

namespace {

std::string LoggedLine() {
  const auto lines = console::Lines();
  return lines.empty() ? std::string() : lines.back();
}

// Plugin data whose entries throw what module code can throw: a failed allocation, a library
// error, anything else.
struct ThrowingEffect : VideoPostData {
  static constexpr const char* kLogName = "ThrowingEffect";
  Bool Init(GeListNode*) override { throw std::bad_alloc(); }
  RENDERRESULT Execute(BaseVideoPost*, VideoPostStruct*) override { throw std::runtime_error("no frame"); }
  Int32 StereoGetCameraCountRenderer(BaseVideoPost*, BaseDocument*, RenderData*) override { throw 7; }
};

struct ThrowingTag : TagData {
  static constexpr const char* kLogName = "ThrowingTag";
  EXECUTIONRESULT Execute(BaseTag*, BaseDocument*, BaseObject*, BaseThread*, Int32, EXECUTIONFLAGS) override {
    throw std::length_error("vector");
  }
};

struct ThrowingCommand : CommandData {
  static constexpr const char* kLogName = "ThrowingCommand";
  Bool Execute(BaseDocument*) override { throw std::bad_alloc(); }
};

}  // namespace

TEST(EntryGuard, AThrowingEntryIsRefusedWithOneLineAndItsFailureValue) {
  console::SetEcho(false);
  std::unique_ptr<NodeData> effectData(AllocGuarded<GuardedVideoPost<ThrowingEffect>>());
  std::unique_ptr<NodeData> tagData(AllocGuarded<GuardedTag<ThrowingTag>>());
  ASSERT_TRUE(effectData && tagData);
  auto& effect = static_cast<VideoPostData&>(*effectData);
  auto& tag = static_cast<TagData&>(*tagData);

  EXPECT_FALSE(effect.Init(nullptr));
  EXPECT_EQ(LoggedLine(), "--- Orvex360Cam: >>> ERROR ThrowingEffect::Init stopped: std::bad_alloc");
  EXPECT_EQ(effect.Execute(nullptr, nullptr), RENDERRESULT_OUTOFMEMORY);
  EXPECT_EQ(LoggedLine(), "--- Orvex360Cam: >>> ERROR ThrowingEffect::Execute stopped: no frame");
  EXPECT_EQ(effect.StereoGetCameraCountRenderer(nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(
      LoggedLine(),
      "--- Orvex360Cam: >>> ERROR ThrowingEffect::StereoGetCameraCountRenderer stopped: unknown exception");
  EXPECT_EQ(tag.Execute(nullptr, nullptr, nullptr, nullptr, 0, EXECUTIONFLAGS_0),
            EXECUTIONRESULT_OUTOFMEMORY);
  EXPECT_EQ(LoggedLine(), "--- Orvex360Cam: >>> ERROR ThrowingTag::Execute stopped: vector");
  // Entries that do not throw answer as the data does.
  EXPECT_TRUE(tag.Init(nullptr));
}

TEST(EntryGuard, TheHostsFactoriesHandOutGuardedData) {
  std::unique_ptr<NodeData> effect(Orvex360CamVP::Alloc());
  std::unique_ptr<NodeData> tag(OrvexTag::Alloc());
  EXPECT_NE(dynamic_cast<GuardedVideoPost<Orvex360CamVP>*>(effect.get()), nullptr);
  EXPECT_NE(dynamic_cast<GuardedTag<OrvexTag>*>(tag.get()), nullptr);
}

TEST(EntryGuard, TheHostRunsAThrowingCommandAsARefusalAndCarriesOn) {
  console::SetEcho(false);
  constexpr Int32 kCommandId = 1999001;  // a test command, no module's
  ASSERT_TRUE(
      RegisterCommandPlugin(kCommandId, "Throwing", 0, nullptr, "", new GuardedCommand<ThrowingCommand>()));
  EXPECT_FALSE(CallCommand(kCommandId));
  EXPECT_EQ(LoggedLine(), "--- Orvex360Cam: >>> ERROR ThrowingCommand::Execute stopped: std::bad_alloc");
  EXPECT_FALSE(CallCommand(kCommandId));  // and again: nothing was left broken
}

TEST(EntryGuard, ATagThatFailsFailsTheEvaluationWithAHostLine) {
  console::SetEcho(false);
  constexpr Int32 kTagId = 1999002;  // a test tag, no module's
  ASSERT_TRUE(
      RegisterTagPlugin(kTagId, "Throwing", 0, AllocGuarded<GuardedTag<ThrowingTag>>, "", nullptr, 0));
  BaseDocument* doc = BaseDocument::Alloc();
  BaseObject* object = BaseObject::Alloc(Onull);
  object->SetName("Rig");
  doc->InsertObject(object, nullptr);
  ASSERT_TRUE(object->MakeTag(kTagId));
  EXPECT_FALSE(doc->ExecutePasses(nullptr, true, true, true));
  EXPECT_EQ(LoggedLine(), "[host] the tag on \"Rig\" did not run (result 2)");
  BaseDocument::Free(doc);
}

TEST(ModuleLog, PrefixesExpandsTheCallersPlaceholdersAndCutsLongLines) {
  console::SetEcho(false);
  ModuleLog("AREA start [%.2f/%.2f] size [%d,%d]", 0.0, 1.5, 640, 480);
  EXPECT_EQ(LoggedLine(), "--- Orvex360Cam: AREA start [0.00/1.50] size [640,480]");
  ModuleLog("READY!");
  EXPECT_EQ(LoggedLine(), "--- Orvex360Cam: READY!");
  // Long lines are cut at 1023 characters, even inside a placeholder.
  const std::string longText(2000, 'x');
  ModuleLog("%s", longText.c_str());
  const std::string line = LoggedLine();
  EXPECT_EQ(line.size(), 1023u);
  EXPECT_EQ(line.rfind("--- Orvex360Cam: xxx", 0), 0u);
  // A format cut inside a placeholder reads no argument.
  std::string format(1023 - 17 - 1, 'y');  // the prefix takes 17 characters, leaving room for one more
  format += "%d";
  ModuleLog(format.c_str(), 5);  // the cut leaves a lone '%', which is dropped
  EXPECT_EQ(LoggedLine(), "--- Orvex360Cam: " + std::string(1023 - 17 - 1, 'y'));
}
