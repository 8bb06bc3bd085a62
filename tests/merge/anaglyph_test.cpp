#include "orvex360camvp/anaglyph.h"

#include <gtest/gtest.h>

#include <cmath>

// The methods and colour pairs at gamma 1 and above are checked pixel for pixel through real
// renders in tests/stereo; here the gamma corner cases and unknown values.

namespace {

constexpr Vector kSlot0(0.2, 0.4, 0.6);
constexpr Vector kSlot1(0.1, 0.5, 0.9);
constexpr Float kLuma0 = 0.299 * 0.2 + 0.587 * 0.4 + 0.114 * 0.6;
constexpr Float kLuma1 = 0.299 * 0.1 + 0.587 * 0.5 + 0.114 * 0.9;
constexpr Float kOptimizedRed = 0.7 * 0.4 + 0.3 * 0.6;

struct AnaglyphCase {
  const char* name;
  Int32 colors;
  Int32 method;
  Float gamma;
  Vector expected;
};

class AnaglyphMethods : public ::testing::TestWithParam<AnaglyphCase> {};

TEST_P(AnaglyphMethods, MixTheTwoEyeColours) {
  const AnaglyphCase& c = GetParam();
  const Vector mixed = MixAnaglyph(MakeAnaglyphMix(c.colors, c.method, c.gamma), kSlot0, kSlot1);
  EXPECT_NEAR((mixed - c.expected).GetLength(), 0.0, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    GammaAndUnknownValues, AnaglyphMethods,
    ::testing::Values(AnaglyphCase{"ColourIgnoresGamma", 0, 1, 2.0, {0.2, 0.5, 0.9}},
                      AnaglyphCase{"OptimizedGammaBelow1", 0, 3, 0.5, {kOptimizedRed, 0.5, 0.9}},
                      AnaglyphCase{"UnknownMethodIsTrue", 0, 5, 1.0, {kLuma0, 0.0, kLuma1}},
                      AnaglyphCase{"RedGreen", 1, 3, 2.0, {0.2, 0.5, 0.0}}),
    [](const ::testing::TestParamInfo<AnaglyphCase>& info) { return std::string(info.param.name); });

TEST(AnaglyphMix, GammaOnANegativeRedKeepsItsSignInsteadOfTurningNaN) {
  const Vector mixed = MixAnaglyph(MakeAnaglyphMix(0, 3, 2.0), Vector(0.0, -0.64, 0.0), kSlot1);
  EXPECT_NEAR(mixed.x, -std::sqrt(0.7 * 0.64), 1e-12);
}

}  // namespace
