#pragma once

#include "module_parameters.h"

#include <array>
#include <span>
#include <string_view>

// Readable words for the effect's choices, each beside the label the effect's description gives the
// same entry, in the order of the entries' values (the word at index n names value n). The command
// line takes the words and the output metadata and the preview page write and read them, also where
// no module is loaded; wherever a module is at hand the host goes by the label instead, and a test
// holds the order here to the registered description's.
namespace choice_words {

struct Word {
  const char* word;   // the host's: what the command line takes and the metadata writes
  const char* label;  // the description's cycle entry
};

template <size_t N>
struct Choice {
  const char* symbol;  // the effect parameter whose cycle the words name
  std::array<Word, N> words;

  // The word of `value`, or `fallback` when the value has none.
  const char* WordOf(int value, const char* fallback) const {
    return value >= 0 && static_cast<size_t>(value) < N ? words[value].word : fallback;
  }
  // The value `word` names; -1 when it names none.
  int ValueOf(std::string_view word) const {
    for (size_t value = 0; value < N; ++value)
      if (word == words[value].word) return static_cast<int>(value);
    return -1;
  }
};

inline constexpr Choice<4> kStereoOutputs = {effect_parameter::kStereoMode,
                                             {{{"anaglyph", "Anaglyph"},
                                               {"side-by-side", "Side by side"},
                                               {"interlaced", "Interlaced"},
                                               {"single-eye", "Single eye"}}}};
inline constexpr Choice<2> kSideLayouts = {
    effect_parameter::kSideLayout,
    {{{"left-right", "Left / right halves"}, {"top-bottom", "Top / bottom halves"}}}};
inline constexpr Choice<3> kInterlaces = {
    effect_parameter::kInterlace,
    {{{"rows", "Rows"}, {"columns", "Columns"}, {"checkerboard", "Checkerboard"}}}};
inline constexpr Choice<2> kAnaglyphColours = {effect_parameter::kAnaglyphColors,
                                               {{{"red-cyan", "Red / cyan"}, {"red-green", "Red / green"}}}};
inline constexpr Choice<5> kAnaglyphMethods = {effect_parameter::kAnaglyphMethod,
                                               {{{"true", "True anaglyph"},
                                                 {"colour", "Colour"},
                                                 {"half-colour", "Half colour"},
                                                 {"optimized", "Optimized"},
                                                 {"grey", "Grey"}}}};
inline constexpr Choice<2> kEyes = {effect_parameter::kSingleEye, {{{"left", "Left"}, {"right", "Right"}}}};
inline constexpr Choice<7> kCubeLayouts = {effect_parameter::kCubeLayout,
                                           {{{"horizontal-cross", "Horizontal cross"},
                                             {"vertical-cross", "Vertical cross"},
                                             {"strip-6x1", "Strip 6 x 1"},
                                             {"grid-3x2", "Grid 3 x 2"},
                                             {"strip-1x6", "Strip 1 x 6"},
                                             {"grid-2x3", "Grid 2 x 3"},
                                             {"single-face", "Single face"}}}};
// The module's cube face numbers: 0 left, 1 right, 2 down, 3 up, 4 back, 5 front.
inline constexpr Choice<6> kCubeFaces = {effect_parameter::kCubeFace,
                                         {{{"left", "Left"},
                                           {"right", "Right"},
                                           {"down", "Down"},
                                           {"up", "Up"},
                                           {"back", "Back"},
                                           {"front", "Front"}}}};

// Every choice above, for whoever checks them all against the descriptions.
struct AnyChoice {
  const char* symbol;
  std::span<const Word> words;
};
template <size_t N>
constexpr AnyChoice Any(const Choice<N>& choice) {
  return {choice.symbol, choice.words};
}
inline constexpr std::array kAllChoices = {Any(kStereoOutputs),   Any(kSideLayouts),     Any(kInterlaces),
                                           Any(kAnaglyphColours), Any(kAnaglyphMethods), Any(kEyes),
                                           Any(kCubeLayouts),     Any(kCubeFaces)};

}  // namespace choice_words
