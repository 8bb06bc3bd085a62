// libFuzzer target: any text as an option value for the tool's own readers of option values (sizes,
// frame ranges, rotations, numbers) and the validators built on them, with what a reading promises.
#include "option_values.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Expect(bool promise) {
  if (!promise) std::abort();
}

void ReadEveryWay(const std::string& text) {
  if (const auto number = option_values::Number(text)) Expect(std::isfinite(*number));
  if (const auto frame = option_values::Frame(text)) Expect(*frame >= 0);
  for (const char separator : {',', 'x'})
    for (const Float number : option_values::NumberList(text, separator)) Expect(std::isfinite(number));
  if (const auto size = option_values::SizeOf(text))
    Expect(std::isfinite(size->width) && std::isfinite(size->height));
  if (const auto frames = option_values::FramesOf(text))
    Expect(frames->first.has_value() == frames->last.has_value());
  if (const auto range = option_values::RangeOf(text)) Expect(*range->first <= *range->last);
  for (CLI::Validator validator :
       {option_values::RenderSize(), option_values::Rotation(), option_values::FrameChoice(),
        option_values::FrameSpan(), option_values::FrameRange(), option_values::CameraKindName()}) {
    std::string value = text;
    validator(value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadEveryWay(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
