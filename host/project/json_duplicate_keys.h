#pragma once

#include <optional>
#include <string>

// The JSON parser keeps the last of two equal keys in one object and drops the first without a word;
// files a person edits are checked for that before they are read.

// The first key given twice in one object, as a path ("tag.PREFIX_FISHEYE_FOV"); nothing when every
// key is unique or the text is no JSON (the parser then says why).
std::optional<std::string> FirstDuplicateKey(const std::string& text);
