#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

// The sRGB transfer curve: the one definition every part of the host encodes and decodes with.
namespace srgb {

// The curve of a linear value, unclamped (negative values stay on the linear segment).
float EncodeCurve(float linear);
// The curve clamped to [0, 1]; not-a-number and infinities give 0.
float Encode(float linear);
// The inverse curve: the linear value of a display-encoded one. Exact; a table answers the 256
// values an 8-bit image holds (b / 255).
float Decode(float encoded);

// Encode() for pixels an 8-bit file will hold, without a power per channel: a table over the
// float's exponent and leading mantissa bits answers the centre of the byte the exact value lies
// in (that byte for every rounding), and near a byte's edge the exact curve answers, so the bytes
// written are those of Encode(). Build once (Get) before a pixel loop; reading it is lock-free.
class ByteEncoder {
 public:
  static const ByteEncoder& Get();
  float operator()(float linear) const {
    const float value = std::isfinite(linear) ? std::clamp(linear, 0.0f, 1.0f) : 0.0f;
    if (value < kFirst) return value * 12.92f;
    const std::uint32_t offset = std::bit_cast<std::uint32_t>(value) - std::bit_cast<std::uint32_t>(kFirst);
    const Entry& entry = entries_[offset >> kBucketBits];
    const std::uint32_t within = offset & ((std::uint32_t{1} << kBucketBits) - 1);
    // Below or above the edge decides by index, not by a branch a random pixel would mispredict;
    // the narrow band at the edge is rare.
    const bool upper = within >= entry.upperFrom;
    if (within >= entry.exactFrom && !upper) return EncodeCurve(value);
    return centres_[entry.lower + static_cast<int>(upper)];
  }

  // The table covers [kFirst, 1]; below it the curve is its exact linear segment.
  static constexpr float kFirst = 1.0f / 512.0f;
  static constexpr int kBucketBits = 14;  // floats per table entry: 2^14 consecutive bit patterns

 private:
  struct Entry {
    std::uint16_t exactFrom;  // offsets in the bucket: [exactFrom, upperFrom) take the exact curve
    std::uint16_t upperFrom;
    std::uint8_t lower;  // the byte below exactFrom; upperFrom and above is lower + 1
  };
  ByteEncoder();
  std::vector<Entry> entries_;
  std::array<float, 256> centres_{};
};

}  // namespace srgb
