#pragma once

#include "geometry/rotation.h"
#include "geometry/scalar_math.h"

#include <array>
#include <cmath>

namespace orvex {

namespace quarter_turn_detail {

// Terms of the sine and cosine series kept: the first one left out stays below 2e-17 within a
// quarter turn, far under the rounding of the sums.
inline constexpr int kTerms = 11;

// (-1)^k / (firstPower + 2k)! for k = 0 .. kTerms - 1.
constexpr std::array<Float, kTerms> SeriesCoefficients(int firstPower) {
  std::array<Float, kTerms> coefficients{};
  Float factorial = 1.0;
  for (int n = 2; n <= firstPower; ++n) factorial *= n;
  for (int k = 0; k < kTerms; ++k) {
    coefficients[k] = (k % 2 == 0 ? 1.0 : -1.0) / factorial;
    const int power = firstPower + 2 * k;
    factorial *= static_cast<Float>((power + 1) * (power + 2));
  }
  return coefficients;
}

inline constexpr std::array<Float, kTerms> kSineSeries = SeriesCoefficients(1);
inline constexpr std::array<Float, kTerms> kCosineSeries = SeriesCoefficients(0);

// The series' polynomial in the squared angle by Estrin's scheme: pairs, then pairs of pairs, so
// that the multiply-adds run side by side instead of in one long chain.
inline Float SeriesInSquare(const std::array<Float, kTerms>& c, Float x) {
  static_assert(kTerms == 11, "the pairing below is written for eleven terms");
  const Float x2 = x * x;
  const Float x4 = x2 * x2;
  const Float x8 = x4 * x4;
  const Float low = (c[0] + c[1] * x) + (c[2] + c[3] * x) * x2;
  const Float middle = (c[4] + c[5] * x) + (c[6] + c[7] * x) * x2;
  const Float high = (c[8] + c[9] * x) + c[10] * x2;
  return (low + middle * x4) + high * x8;
}

}  // namespace quarter_turn_detail

// Cosine and sine of an angle, by their series without a library call or branch while the angle
// stays within a quarter turn either side of zero (the turns a unit direction's component gives);
// beyond that the library's.
inline Turn TurnWithinQuarter(Float angle) {
  constexpr Float kLimit = kHalfPi * (1.0 + 1e-9);
  if (!(std::fabs(angle) <= kLimit)) return {std::cos(angle), std::sin(angle)};
  const Float square = angle * angle;
  return {quarter_turn_detail::SeriesInSquare(quarter_turn_detail::kCosineSeries, square),
          angle * quarter_turn_detail::SeriesInSquare(quarter_turn_detail::kSineSeries, square)};
}

}  // namespace orvex
