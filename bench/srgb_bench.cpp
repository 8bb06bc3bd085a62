// Display encoding per channel: the exact sRGB curve (a power per channel) beside the 8-bit table
// the image output uses. Nanoseconds per channel value.

#include "image/srgb.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <vector>

namespace {

constexpr std::size_t kValueCount = 1 << 16;

// Linear values as a render gives them: mostly in [0, 1], some above, in no order.
const std::vector<float>& LinearValues() {
  static const std::vector<float> values = [] {
    std::vector<float> result(kValueCount);
    unsigned state = 12345;
    for (float& value : result) {
      state = state * 1664525u + 1013904223u;
      value = static_cast<float>(state >> 8) / static_cast<float>(1u << 24) * 1.2f;
    }
    return result;
  }();
  return values;
}

template <typename Encode>
void Run(benchmark::State& state, Encode encode) {
  const std::vector<float>& values = LinearValues();
  std::vector<float> encoded(values.size());
  for (auto _ : state) {
    for (std::size_t i = 0; i < values.size(); ++i) encoded[i] = encode(values[i]);
    benchmark::DoNotOptimize(encoded.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(values.size()));
}

void BM_EncodeExactCurve(benchmark::State& state) { Run(state, srgb::Encode); }
void BM_EncodeByteTable(benchmark::State& state) {
  const srgb::ByteEncoder& encode = srgb::ByteEncoder::Get();
  Run(state, [&](float value) { return encode(value); });
}

BENCHMARK(BM_EncodeExactCurve);
BENCHMARK(BM_EncodeByteTable);

}  // namespace

BENCHMARK_MAIN();
