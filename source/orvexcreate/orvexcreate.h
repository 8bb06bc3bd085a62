#pragma once

#include "c4d.h"

struct CameraPreset;

// A menu command that creates a camera with a preconfigured tag, one instance per preset: the
// camera and its tag in one undo step, then the preset written into them.
class OrvexCreateCamera : public CommandData {
 public:
  static constexpr const char* kLogName = "OrvexCreateCamera";
  explicit OrvexCreateCamera(const CameraPreset& preset) : preset_(preset) {}
  ~OrvexCreateCamera() override = default;
  // Logs the preset's line and inserts a new camera as the document's first object with a new tag
  // as its first tag, the tag selected and active, the preset written; one undo step. False when
  // either cannot be made; a camera made before the tag failed stays in the document, and its undo
  // step with it.
  Bool Execute(BaseDocument* doc) override;

 private:
  const CameraPreset& preset_;
};

// Registers one command per preset, in menu order; stops at the first that fails.
[[nodiscard]] Bool RegisterOrvexCreateCommands();
