#include "image/srgb.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// The curve as the host wrote it before the tables, kept here as the reference.
float ReferenceEncode(float linear) {
  const float value = std::isfinite(linear) ? std::clamp(linear, 0.0f, 1.0f) : 0.0f;
  return value <= 0.0031308f ? value * 12.92f : 1.055f * std::pow(value, 1.0f / 2.4f) - 0.055f;
}

float ReferenceDecode(float encoded) {
  return encoded <= 0.04045f ? encoded / 12.92f : std::pow((encoded + 0.055f) / 1.055f, 2.4f);
}

// The table's answer must give the byte the exact value gives under any rounding an encoder uses:
// either the exact value itself, or the centre of a byte the exact value lies well inside.
::testing::AssertionResult SameByte(float linear, float fast) {
  const float exact = ReferenceEncode(linear);
  if (std::bit_cast<std::uint32_t>(fast) == std::bit_cast<std::uint32_t>(exact))
    return ::testing::AssertionSuccess();
  const double byte = std::round(static_cast<double>(fast) * 255.0);
  const bool centre = static_cast<float>(byte / 255.0) == fast;
  if (centre && std::abs(static_cast<double>(exact) * 255.0 - byte) <= 0.5 - 1e-4)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "linear " << linear << " exact " << exact << " table " << fast;
}

}  // namespace

TEST(Srgb, ByteEncoderKeepsTheByteOfEveryFloatInTheUnitRange) {
  const srgb::ByteEncoder& encode = srgb::ByteEncoder::Get();
  // Every float from 2^-20 to 1 (below, every value encodes to byte 0 on the linear segment).
  const std::uint32_t first = std::bit_cast<std::uint32_t>(std::ldexp(1.0f, -20));
  const std::uint32_t last = std::bit_cast<std::uint32_t>(1.0f);
  // The first three floats that fail are shown; a broken curve fails them all, so the loop stops there.
  int failures = 0;
  for (std::uint32_t bits = first; bits <= last && failures < 3; ++bits) {
    const float linear = std::bit_cast<float>(bits);
    const ::testing::AssertionResult same = SameByte(linear, encode(linear));
    if (!same) ADD_FAILURE() << same.message() << " (failure " << ++failures << ")";
  }
}

TEST(Srgb, ByteEncoderAndCurveClampOutsideTheUnitRange) {
  const srgb::ByteEncoder& encode = srgb::ByteEncoder::Get();
  for (float value :
       {0.0f, -0.0f, -1.0f, 1e-30f, 1.0000001f, 2.0f, 1e30f, std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity(), std::nanf("")}) {
    EXPECT_TRUE(SameByte(value, encode(value)));
    EXPECT_EQ(srgb::Encode(value), ReferenceEncode(value)) << value;
  }
}

TEST(Srgb, DecodeIsTheExactCurveForBytesAndEverythingElse) {
  for (int byte = 0; byte < 256; ++byte) {
    const float encoded = static_cast<float>(byte) / 255.0f;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(srgb::Decode(encoded)),
              std::bit_cast<std::uint32_t>(ReferenceDecode(encoded)))
        << byte;
  }
  // Values beside the bytes (and outside [0, 1]) take the curve itself.
  for (float encoded = -0.5f; encoded < 1.5f; encoded += 0.000123f) {
    const float near = std::nextafter(encoded, 2.0f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(srgb::Decode(near)),
              std::bit_cast<std::uint32_t>(ReferenceDecode(near)));
  }
  EXPECT_TRUE(std::signbit(srgb::Decode(-0.0f)));
}
