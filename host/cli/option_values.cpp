#include "option_values.h"

#include "module_reading/camera_kinds.h"
#include "project/render_settings_record.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>

namespace option_values {

std::optional<Float> Number(const std::string& text) {
  Float value = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, problem] = std::from_chars(text.data() + (text.starts_with('+') ? 1 : 0), end, value);
  if (text.empty() || text.starts_with("+-") || problem != std::errc() || stop != end ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<Int32> Frame(const std::string& text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return {};
  return std::stoi(text);
}

std::vector<Float> NumberList(const std::string& text, char separator) {
  std::vector<Float> numbers;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    const std::optional<Float> number = Number(text.substr(start, end - start));
    if (!number) return {};
    numbers.push_back(*number);
    if (end == std::string::npos) return numbers;
    start = end + 1;
  }
}

std::optional<Size> SizeOf(const std::string& text) {
  std::string lowered = text;
  std::replace(lowered.begin(), lowered.end(), 'X', 'x');
  const std::vector<Float> size = NumberList(lowered, 'x');
  if (size.size() != 2) return std::nullopt;
  return Size{size[0], size[1]};
}

std::optional<Frames> FramesOf(const std::string& text) {
  if (text == "all") return Frames{};
  const size_t dash = text.find('-');
  const std::optional<Int32> first = Frame(text.substr(0, dash));
  const std::optional<Int32> last = dash == std::string::npos ? first : Frame(text.substr(dash + 1));
  if (!first || !last) return std::nullopt;
  return Frames{first, last};
}

std::optional<Frames> RangeOf(const std::string& text) {
  const size_t dash = text.find('-');
  if (dash == std::string::npos) return std::nullopt;
  const std::optional<Int32> first = Frame(text.substr(0, dash));
  const std::optional<Int32> last = Frame(text.substr(dash + 1));
  if (!first || !last || *first > *last) return std::nullopt;
  return Frames{first, last};
}

namespace {

// A validator from a check that answers what is wrong with a value (empty: nothing).
CLI::Validator Checking(const char* what, std::function<std::string(const std::string&)> check) {
  return CLI::Validator([check](std::string& value) { return check(value); }, what, what);
}

}  // namespace

CLI::Validator RenderSize() {
  return Checking("WIDTHxHEIGHT", [](const std::string& text) {
    const std::optional<Size> size = SizeOf(text);
    if (!size) return "takes WIDTHxHEIGHT, e.g. 1024x1024, not \"" + text + "\"";
    std::string error;
    if (!CheckRenderSetting(RDATA_XRES, GeData(size->width), error) ||
        !CheckRenderSetting(RDATA_YRES, GeData(size->height), error))
      return error;
    return std::string();
  });
}

CLI::Validator ViewSize(int maxSide) {
  return Checking("WIDTHxHEIGHT", [maxSide](const std::string& text) {
    const std::optional<Size> size = SizeOf(text);
    const auto fits = [maxSide](Float side) {
      return side >= 1 && side <= maxSide && side == std::floor(side);
    };
    return size && fits(size->width) && fits(size->height)
               ? std::string()
               : "takes WIDTHxHEIGHT in whole pixels from 1 to " + std::to_string(maxSide) + ", not \"" +
                     text + "\"";
  });
}

CLI::Validator Point() {
  return Checking("X,Y,Z", [](const std::string& text) {
    return NumberList(text, ',').size() == 3
               ? std::string()
               : "takes X,Y,Z in scene units (finite numbers), not \"" + text + "\"";
  });
}

CLI::Validator Rotation() {
  return Checking("H,P,B", [](const std::string& text) {
    return NumberList(text, ',').size() == 3
               ? std::string()
               : "takes heading,pitch,bank in degrees, e.g. 30,0,0, not \"" + text + "\"";
  });
}

namespace {

// What is wrong with `text` as frames to render: unreadable (`takes` says what it takes) or reversed.
std::string FramesProblem(const std::string& text, bool allowAll, const std::string& takes) {
  const std::optional<Frames> frames = text == "all" && !allowAll ? std::nullopt : FramesOf(text);
  if (!frames) return "takes " + takes + ", not \"" + text + "\"";
  if (frames->first && *frames->first > *frames->last)
    return text + " is reversed: the range is empty; give FIRST-LAST with FIRST <= LAST";
  return {};
}

}  // namespace

CLI::Validator FrameChoice() {
  return Checking("FRAMES", [](const std::string& text) {
    return FramesProblem(text, true, "a frame (5), a range (0-10) or \"all\"");
  });
}

CLI::Validator FrameSpan() {
  return Checking("FRAMES", [](const std::string& text) {
    return FramesProblem(text, false, "a frame (5) or a range FIRST-LAST (0-99)");
  });
}

CLI::Validator FrameRange() {
  return Checking("FIRST-LAST", [](const std::string& text) {
    return RangeOf(text) ? std::string()
                         : "takes FIRST-LAST with FIRST <= LAST, e.g. 0-250, not \"" + text + "\"";
  });
}

CLI::Validator CameraKindName() {
  return Checking("KIND", [](const std::string& text) {
    return FindCameraKind(text)
               ? std::string()
               : "there is no camera kind \"" + text + "\"; the kinds are: " + CameraKindNames();
  });
}

}  // namespace option_values
