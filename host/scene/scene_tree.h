#pragma once

#include "c4d.h"

#include <string>

// The document as an indented tree of text, for the command line and tests: objects in order with
// their placement (rotation as heading, pitch, bank in degrees), cameras' focal length and their
// parameter 1007, tags with every value of their container by name, the active tag, each render
// setting's video posts (the Orvex360Cam effect with its mask mode), and the undo and redo steps.
std::string SceneTree(const BaseDocument& doc);
