#pragma once

#include "files_support.h"
#include "render_test_support.h"

#include <string>
#include <vector>

// Small checks the render, stereo, overlay, comfort and preview tests share: lines picked and
// joined, files read and counted, images written, and tool runs that must succeed.
namespace render_test {

// The lines that start with `start`.
std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& start);

// The lines joined by `separator`, for expectations written as one text.
std::string Joined(const std::vector<std::string>& lines, const std::string& separator = " | ");

// Files read and counted as every suite does.
using files::EntryCount;
using files::ReadText;

// Writes `image` to `path` (its suffix picks the format); fails the test when it cannot.
std::string WriteImage(const std::string& path, const FloatImage& image);
// A width x height image whose every value (alpha included) is `value`, written to `path`.
std::string WriteUniformImage(const std::string& path, Int32 width, Int32 height, Float32 value);

// Runs `orvex360 render ARGUMENTS` in `folder` and fails the test, with its output, unless it succeeds.
CommandResult ExpectRendered(const TempFolder& folder, const std::string& arguments,
                             const std::string& shell = "");

}  // namespace render_test
