#pragma once

#include "c4d.h"
#include "test_scene.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The module's code linked into the test and started as the host starts a module, from a folder
// whose res/ holds its resources; each test gets a fresh scene.
class LinkedModuleTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Shuts the module down and starts it again from `folder`.
  void RestartFrom(const std::string& folder);

  std::unique_ptr<TestScene> scene;

 private:
  void Start(const std::string& folder);
  void Stop();

  C4D_HostTable table_{};
  Filename path_;
};
