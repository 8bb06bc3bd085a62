#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The host reads only regular files, once links are followed: a device such as /dev/zero would be
// read forever and opening a FIFO waits for a writer, so both are refused before anything opens
// them. Every error names no file; callers put the path in front.
namespace regular_file {

enum class Kind { Missing, Regular, Other };

Kind KindOf(const std::string& path);

// True for a regular file; false with `error` "does not exist" or "is not a regular file (...)".
bool Check(const std::string& path, std::string& error);

// The whole regular file, when it is neither empty nor larger than `maxBytes`; false with `error`
// otherwise. Reads the size the file had when it was checked, never more.
bool ReadWhole(const std::string& path, std::uintmax_t maxBytes, std::vector<unsigned char>& bytes,
               std::string& error);
bool ReadText(const std::string& path, std::uintmax_t maxBytes, std::string& text, std::string& error);

}  // namespace regular_file
