#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// Whole files read and written in one call, and the checks made on what commands print.
namespace files {

// A file's text or bytes; empty when it cannot be read.
std::string ReadText(const std::filesystem::path& path);
std::vector<unsigned char> ReadBytes(const std::filesystem::path& path);
void WriteText(const std::filesystem::path& path, const std::string& text);
void WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);

// How many entries a folder holds.
long EntryCount(const std::filesystem::path& folder);

// Each of `parts` occurs in `text`; a failure names the missing part and shows the text.
void ExpectHolds(const std::string& text, const std::vector<std::string>& parts);

}  // namespace files
