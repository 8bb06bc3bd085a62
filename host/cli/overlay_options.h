#pragma once

#include "c4d.h"

#include <CLI/CLI.hpp>

#include <string>

// `orvex360 render --overlays all|default|none`: which fulldome overlay elements a render draws.
// Not given, a render keeps what the effect (or the project) holds; the effect starts with the
// logo and title only. "default" brings back those defaults, "all" switches every element on
// (credits, information, timecode, frame number, logo and title), "none" every one off.
void AddOverlayOption(CLI::App& render, std::string& choice);

// Writes the choice into the document's effect; an empty choice changes nothing. False with
// `error` when the effect or one of its parameters is missing.
bool ApplyOverlayChoice(const std::string& choice, BaseDocument* doc, std::string& error);
