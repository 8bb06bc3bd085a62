#include "orvex360camvp/anaglyph.h"

#include <gtest/gtest.h>

#include <cmath>

// The methods and colour pairs at gamma 1 and above are checked pixel for pixel through real
// renders in tests/stereo; here the gamma corner cases and unknown values.

namespace {

constexpr Vector kSlot0(0.2, 0.4, 0.6);
constexpr Vector kSlot1(0.1, 0.5, 0.9);

TEST(AnaglyphMix, GammaCornerCasesAndUnknownValues) {
  const Float luma0 = 0.299 * 0.2 + 0.587 * 0.4 + 0.114 * 0.6,
              luma1 = 0.299 * 0.1 + 0.587 * 0.5 + 0.114 * 0.9;
  const struct {
    Int32 colors, method;
    Float gamma;
    Vector expected;
  } cases[] = {
      {0, 1, 2.0, {0.2, 0.5, 0.9}},                    // colour ignores gamma
      {0, 3, 0.5, {0.7 * 0.4 + 0.3 * 0.6, 0.5, 0.9}},  // optimized, gamma below 1
      {0, 5, 1.0, {luma0, 0.0, luma1}},                // an unknown method is true
      {1, 3, 2.0, {0.2, 0.5, 0.0}},                    // red-green
  };
  for (const auto& c : cases) {
    const Vector mixed = MixAnaglyph(MakeAnaglyphMix(c.colors, c.method, c.gamma), kSlot0, kSlot1);
    EXPECT_NEAR((mixed - c.expected).GetLength(), 0.0, 1e-12)
        << c.colors << " " << c.method << " " << c.gamma;
  }
}

TEST(AnaglyphMix, GammaOnANegativeRedKeepsItsSignInsteadOfTurningNaN) {
  const Vector mixed = MixAnaglyph(MakeAnaglyphMix(0, 3, 2.0), Vector(0.0, -0.64, 0.0), kSlot1);
  EXPECT_NEAR(mixed.x, -std::sqrt(0.7 * 0.64), 1e-12);
}

}  // namespace
