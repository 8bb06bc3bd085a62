#include "orvex360camvp/anaglyph.h"

namespace {

constexpr Vector kRed(1.0, 0.0, 0.0);
constexpr Vector kGreen(0.0, 1.0, 0.0);
constexpr Vector kBlue(0.0, 0.0, 1.0);
constexpr Vector kLuma(0.299, 0.587, 0.114);
constexpr Vector kNone;
// Red from green and blue only, so that red surfaces do not shine through both filters.
constexpr Vector kOptimizedRed(0.0, 0.7, 0.3);

enum AnaglyphColors : Int32 { kRedCyan = 0, kRedGreen = 1 };
enum AnaglyphMethod : Int32 { kColor = 1, kHalfColor = 2, kOptimized = 3, kGray = 4 };

AnaglyphMix RedCyanMix(Int32 method, Float gamma) {
  switch (method) {
    case kColor:
      return {kRed, kGreen, kBlue};
    case kHalfColor:
      return {kLuma, kGreen, kBlue};
    case kOptimized:
      return {kOptimizedRed, kGreen, kBlue, gamma > 1.0 ? 1.0 / gamma : 1.0};
    case kGray:
      return {kLuma, kLuma, kLuma};
    default:  // the true anaglyph
      return {kLuma, kNone, kLuma};
  }
}

}  // namespace

AnaglyphMix MakeAnaglyphMix(Int32 colors, Int32 method, Float gamma) {
  if (colors == kRedCyan) return RedCyanMix(method, gamma);
  if (colors == kRedGreen) return {kRed, kGreen, kNone};
  return {kNone, kNone, kNone};
}
