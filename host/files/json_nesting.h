#pragma once

#include <string>
#include <string_view>

// How deep the JSON the host reads may nest: project files, description files, string tables and
// glTF files alike. Checked over the raw text before any parser sees it, so that hostile text (a
// value nested twenty thousand levels deep) cannot exhaust the stack of a parser or of the code
// that walks what it parsed. Real files nest a few levels.
namespace json_nesting {

inline constexpr int kMaxDepth = 64;

// True when the arrays and objects of `text` nest at most kMaxDepth deep (brackets inside strings
// do not count); false with `error` ("nested deeper than 64 levels") otherwise.
bool Check(std::string_view text, std::string& error);

}  // namespace json_nesting
