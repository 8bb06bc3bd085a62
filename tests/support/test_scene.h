#pragma once

#include "c4d.h"

#include <string>

constexpr Int32 kTagType = 1035138;
constexpr Int32 kEffectType = 1033675;

// A document made active, with render settings and (once added) a camera carrying the tag.
struct TestScene {
  TestScene();
  ~TestScene();
  TestScene(const TestScene&) = delete;
  TestScene& operator=(const TestScene&) = delete;

  // Inserts a camera with a new tag; the tag's Init runs while the document is the active one.
  BaseTag* AddTaggedCamera();
  // The first effect of the module in the active render settings, or null.
  BaseVideoPost* Effect() const;
  Int32 EffectCount() const;

  BaseDocument* doc = nullptr;
  BaseTag* tag = nullptr;
};

// Whether any console line holds `text`.
bool ConsoleHas(const std::string& text);

// Same size and pixels.
bool SamePixels(const BaseBitmap& a, const BaseBitmap& b);
