#pragma once

#include "c4d.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

// The tool's own readers of option values (CLI11 reads the rest), shared by the commands and by the
// project files that hold the same texts. Each takes any text and answers nothing for one it does not
// read; none throws.
namespace option_values {

// A finite decimal number, the whole text.
std::optional<Float> Number(const std::string& text);
// A frame number: digits only, at most nine.
std::optional<Int32> Frame(const std::string& text);
// The numbers of "A<separator>B<separator>C"; empty when any part is no number.
std::vector<Float> NumberList(const std::string& text, char separator);

// "WxH" ("X" too): two numbers; none otherwise. Limits are the caller's.
struct Size {
  Float width = 0.0;
  Float height = 0.0;
};
std::optional<Size> SizeOf(const std::string& text);

// --frames: a frame, FIRST-LAST, or "all" (first and last then unset).
struct Frames {
  std::optional<Int32> first;
  std::optional<Int32> last;
};
std::optional<Frames> FramesOf(const std::string& text);
// FIRST-LAST with FIRST <= LAST, nothing else.
std::optional<Frames> RangeOf(const std::string& text);

// Validators that refuse what the readers above do not read, so that a value of the wrong kind or
// outside its range is a command line not understood (exit 2), whichever option it is given to.
CLI::Validator RenderSize();           // WIDTHxHEIGHT within the render settings' limits
CLI::Validator ViewSize(int maxSide);  // WIDTHxHEIGHT in whole pixels, 1 to maxSide
CLI::Validator Point();                // X,Y,Z
CLI::Validator Rotation();             // heading,pitch,bank in degrees
CLI::Validator FrameChoice();          // as FramesOf, FIRST <= LAST
CLI::Validator FrameSpan();            // a frame or FIRST-LAST, FIRST <= LAST
CLI::Validator FrameRange();           // as RangeOf
CLI::Validator CameraKindName();       // one of the camera kinds

}  // namespace option_values
