#pragma once

#include "linked_module.h"

// The linked module with one camera carrying a fresh tag, which brought the effect with it.
class TaggedCameraTest : public LinkedModuleTest {
 protected:
  void SetUp() override {
    LinkedModuleTest::SetUp();
    tag = scene->AddTaggedCamera();
    ASSERT_NE(tag, nullptr);
  }

  BaseContainer& Data() { return *tag->GetDataInstance(); }

  BaseTag* tag = nullptr;
};
