#pragma once

#include "module_reading/camera_kinds.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Renders through the loaded plugin folder: a document with one camera of a kind, in an
// environment whose colour encodes the direction it is seen in, so that every output pixel tells
// which way its ray went. The plugin folder is loaded once per test program.
class ModuleRender : public testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Adds a camera of that kind at `position` and sets the render size.
  void AddCamera(CameraKind kind, Int32 width, Int32 height, const Vector& position = Vector());
  void SetSize(Int32 width, Int32 height);
  // Turns the camera by heading, pitch and bank in degrees.
  void Rotate(Float heading, Float pitch, Float bank);

  BaseContainer& Settings();
  BaseTag* Tag();
  BaseList2D* Effect();
  void SetTag(Int32 id, const GeData& value);
  void SetEffect(Int32 id, const GeData& value);

  // Renders the current frame with one sample per pixel (unless `samples` says otherwise) and
  // checks that every value is finite.
  FloatImage Render(bool editor = false, Int32 samples = 1);
  // The module's console lines of the last render, without their prefix.
  std::vector<std::string> ModuleLines() const;
  // How many camera images the last render made: one camera-end line each.
  Int32 CamerasRendered() const;

  static render_test::TempFolder* folder_;
  static std::string environment_;
  BaseDocument* doc_ = nullptr;
  BaseObject* camera_ = nullptr;
};
