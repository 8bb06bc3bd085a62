#pragma once

#include "files_support.h"
#include "render_test_support.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// Small checks the render, stereo, overlay, comfort and preview tests share: texts searched and
// counted, files read and counted, images written, and tool runs that must succeed or fail.
namespace render_test {

// How many times `part` occurs in `text`.
size_t Occurrences(const std::string& text, const std::string& part);

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
// Fails the test unless the run failed and its output holds `message`.
void ExpectFailure(const CommandResult& run, const std::string& message);

}  // namespace render_test
