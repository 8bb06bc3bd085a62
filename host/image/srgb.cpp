#include "srgb.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace srgb {

float EncodeCurve(float linear) {
  return linear <= 0.0031308f ? linear * 12.92f : 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
}

float Encode(float linear) {
  return EncodeCurve(std::isfinite(linear) ? std::clamp(linear, 0.0f, 1.0f) : 0.0f);
}

namespace {

float DecodeCurve(float encoded) {
  return encoded <= 0.04045f ? encoded / 12.92f : std::pow((encoded + 0.055f) / 1.055f, 2.4f);
}

std::array<float, 256> DecodedBytes() {
  std::array<float, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = DecodeCurve(static_cast<float>(b) / 255.0f);
  return table;
}

// How far (in byte units) an exact value must lie inside its byte for the byte's centre to stand
// in for it: far beyond the float error of any encoder's scaling and rounding.
constexpr double kMargin = 1e-3;

constexpr std::uint32_t kBucketSize = std::uint32_t{1} << ByteEncoder::kBucketBits;

double Scaled(std::uint32_t bits) { return static_cast<double>(Encode(std::bit_cast<float>(bits))) * 255.0; }

// The first offset in [0, kBucketSize) of the bucket at `first` whose scaled value passes `limit`.
template <typename Passes>
std::uint16_t FirstPassing(std::uint32_t first, Passes passes) {
  std::uint32_t low = 0;
  std::uint32_t high = kBucketSize;
  while (low < high) {
    const std::uint32_t middle = (low + high) / 2;
    if (passes(Scaled(first + middle)))
      high = middle;
    else
      low = middle + 1;
  }
  return static_cast<std::uint16_t>(low);
}

}  // namespace

float Decode(float encoded) {
  static const std::array<float, 256> kDecoded = DecodedBytes();
  const float scaled = encoded * 255.0f;
  if (scaled >= 0.0f && scaled <= 255.0f) {
    const int byte = static_cast<int>(scaled + 0.5f);
    if (static_cast<float>(byte) / 255.0f == encoded && !std::signbit(encoded)) return kDecoded[byte];
  }
  return DecodeCurve(encoded);
}

ByteEncoder::ByteEncoder() {
  for (int b = 0; b < 256; ++b) centres_[b] = static_cast<float>(b) / 255.0f;
  const std::uint32_t first = std::bit_cast<std::uint32_t>(kFirst);
  const std::uint32_t last = std::bit_cast<std::uint32_t>(1.0f);
  for (std::uint32_t bucket = first; bucket <= last; bucket += kBucketSize) {
    // Each bucket spans well under one byte, so it meets at most one byte edge.
    const double start = Scaled(bucket);
    const double lower = std::floor(start + 0.5 - kMargin);
    const double edge = lower + 0.5;
    Entry entry;
    entry.lower = static_cast<std::uint8_t>(lower);
    entry.exactFrom = FirstPassing(bucket, [&](double value) { return value > edge - kMargin; });
    entry.upperFrom = FirstPassing(bucket, [&](double value) { return value >= edge + kMargin; });
    entries_.push_back(entry);
  }
}

const ByteEncoder& ByteEncoder::Get() {
  static const ByteEncoder encoder;
  return encoder;
}

}  // namespace srgb
