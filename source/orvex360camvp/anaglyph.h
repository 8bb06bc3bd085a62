#pragma once

#include "c4d_math.h"

#include <cmath>

// How two eye colours become one anaglyph colour. Every method takes red from eye slot 0 and green
// and blue from eye slot 1, each channel as weights of that eye's (R, G, B); the red result may then
// be gamma-corrected.
struct AnaglyphMix {
  Vector redFromSlot0;
  Vector greenFromSlot1;
  Vector blueFromSlot1;
  Float redExponent = 1.0;  // 1 / gamma where the method corrects red, otherwise 1
};

// The mix for the effect's anaglyph colours (0 red/cyan, 1 red/green), method (0 true, 1 colour,
// 2 half colour, 3 optimized, 4 grey) and gamma. Unknown colours mix to black; unknown red/cyan
// methods give the true anaglyph.
AnaglyphMix MakeAnaglyphMix(Int32 colors, Int32 method, Float gamma);

// The mixed colour, unclamped. The gamma keeps the sign of a negative red, which would otherwise
// turn into NaN.
inline Vector MixAnaglyph(const AnaglyphMix& mix, const Vector& c0, const Vector& c1) {
  Float red = Dot(mix.redFromSlot0, c0);
  if (mix.redExponent != 1.0) red = std::copysign(std::pow(std::abs(red), mix.redExponent), red);
  return {red, Dot(mix.greenFromSlot1, c1), Dot(mix.blueFromSlot1, c1)};
}
