#pragma once

#include "c4d.h"

#include <ctime>
#include <string>
#include <vector>

// The texts of the fulldome overlays: frame counter, timecode, date, and line splitting.
namespace overlay_text {

// Frame of a time at `fps` frames per second; at a rate of 0 or below (or not a number) the
// time is counted in `fallbackFps` instead, and without any usable rate it is frame 0.
Int32 FrameOfTime(const BaseTime& time, Float fps, Int32 fallbackFps);
// The frame number in six digits: 000042.
std::string FrameText(Int32 frame);
// Minutes, seconds and frames of a time: 000:10.00.
std::string TimeText(const BaseTime& time, Float fps, Int32 fallbackFps);
// Day/month/year hour:minute:second of a calendar time.
std::string DateText(const std::tm& when);
// Now in local time, or the time SOURCE_DATE_EPOCH names (in UTC) when it is set to a number,
// so that reproducible renders print the same date.
std::tm DateNow();
// The lines of a text split at line breaks.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace overlay_text
