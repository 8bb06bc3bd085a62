#include "runtime/console.h"
#include "runtime/plugin_loader.h"

#include <gtest/gtest.h>

#include <memory>

// Linked into a test program, loads the built plugin folder once for all its tests, with the
// console's echo off.
namespace {
class LoadedPluginEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    console::SetEcho(false);
    std::string error;
    module_ = LoadedModule::Load(ORVEX_PLUGIN_DIR, error);
    ASSERT_TRUE(module_) << error;
  }
  void TearDown() override { module_.reset(); }

 private:
  std::unique_ptr<LoadedModule> module_;
};
const testing::Environment* const kLoadedPlugin =
    testing::AddGlobalTestEnvironment(new LoadedPluginEnvironment);
}  // namespace
