#pragma once

#include "c4d.h"

#include <string>

// The scenes the host can build without a file.
namespace scene_library {

// A new empty document with one render settings, made the active document so that a new tag finds
// the render settings it inserts its effect into. Free it with BaseDocument::Free.
BaseDocument* NewDocument();

// Fills the document with the named scene: "demo" (the embedded demo scene) or "empty" (nothing,
// for an environment image alone). False with `error` naming the known scenes otherwise.
bool Build(const std::string& name, BaseDocument* doc, std::string& error);

// The names, comma separated, for messages.
std::string Names();

// Where a camera stands in the named scene (scene units).
Vector Viewpoint(const std::string& name);

}  // namespace scene_library
