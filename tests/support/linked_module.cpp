#include "linked_module.h"

#include "runtime/console.h"
#include "runtime/host_state.h"
#include "runtime/plugin_loader.h"
#include "runtime/plugin_registry.h"

#include <cstdint>

extern "C" Int32 c4d_main(Int32 action, void* p1, void* p2, void* p3);

namespace {
enum : Int32 { kSystemStart = 1, kPluginStart = 2, kShutdown = 3, kMessage = 6 };
void* ResourceMessage() { return reinterpret_cast<void*>(std::intptr_t{1}); }
}  // namespace

void LinkedModuleTest::SetUp() {
  console::SetEcho(false);
  console::Clear();
  Start(ORVEX_SOURCE_DIR);
}

void LinkedModuleTest::TearDown() {
  Stop();
  host_state::Reset();
}

void LinkedModuleTest::RestartFrom(const std::string& folder) {
  Stop();
  Start(folder);
}

void LinkedModuleTest::Start(const std::string& folder) {
  table_ = C4D_HostTable{kHostApiVersion, "settings tests"};
  path_ = Filename(String(folder));
  PluginRegistry::Instance().BeginModule(99, folder + "/res");
  ASSERT_EQ(c4d_main(kSystemStart, &table_, nullptr, &path_), 1);
  ASSERT_EQ(c4d_main(kMessage, ResourceMessage(), nullptr, nullptr), 1);
  ASSERT_EQ(c4d_main(kPluginStart, nullptr, nullptr, nullptr), 1);
  PluginRegistry::Instance().BeginModule(0, {});
  scene = std::make_unique<TestScene>();
}

void LinkedModuleTest::Stop() {
  scene.reset();
  c4d_main(kShutdown, nullptr, nullptr, nullptr);
  PluginRegistry::Instance().Clear();
}
