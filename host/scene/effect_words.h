#pragma once

#include <array>

// Readable words for the effect's enumerations, in the order of their values (the word at index n
// names value n): the one table the command line and the output metadata share.
namespace effect_words {

inline constexpr std::array<const char*, 4> kStereoOutputs = {"anaglyph", "side-by-side", "interlaced",
                                                              "single-eye"};
inline constexpr std::array<const char*, 2> kSideLayouts = {"left-right", "top-bottom"};
inline constexpr std::array<const char*, 3> kInterlaces = {"rows", "columns", "checkerboard"};
inline constexpr std::array<const char*, 2> kAnaglyphColours = {"red-cyan", "red-green"};
inline constexpr std::array<const char*, 5> kAnaglyphMethods = {"true", "colour", "half-colour", "optimized",
                                                                "grey"};
inline constexpr std::array<const char*, 2> kEyes = {"left", "right"};
inline constexpr std::array<const char*, 7> kCubeLayouts = {
    "horizontal-cross", "vertical-cross", "strip-6x1", "grid-3x2", "strip-1x6", "grid-2x3", "single-face"};
// Cube face numbers: 0 left, 1 right, 2 down, 3 up, 4 back, 5 front.
inline constexpr std::array<const char*, 6> kCubeFaces = {"left", "right", "down", "up", "back", "front"};

// The word of `value`, or `fallback` when the value has none.
template <size_t N>
const char* WordOf(const std::array<const char*, N>& words, int value, const char* fallback) {
  return value >= 0 && static_cast<size_t>(value) < N ? words[value] : fallback;
}

}  // namespace effect_words
