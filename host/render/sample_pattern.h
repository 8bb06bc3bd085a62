#pragma once

#include "c4d.h"

#include <cmath>

// Where the samples of a pixel go: at one sample the pixel's integer coordinates themselves, with
// more a low-discrepancy sequence spread within half a pixel around them, turned per pixel so that
// neighbours do not repeat the same pattern. Deterministic, so renders repeat exactly.
inline Vector SampleOffset(Int32 x, Int32 y, Int32 sample, Int32 sampleCount) {
  if (sampleCount <= 1) return {};
  // The plastic number's sequence (R2): evenly spread for any sample count.
  constexpr Float kStepX = 0.7548776662466927;
  constexpr Float kStepY = 0.5698402909980532;
  UInt32 hash = static_cast<UInt32>(x) * 0x8da6b343u ^ static_cast<UInt32>(y) * 0xd8163841u;
  hash = (hash ^ (hash >> 16)) * 0x7feb352du;
  hash ^= hash >> 15;
  const Float turnX = (hash & 0xffffu) / 65536.0;
  const Float turnY = (hash >> 16) / 65536.0;
  const Float fx = turnX + sample * kStepX;
  const Float fy = turnY + sample * kStepY;
  return {fx - std::floor(fx) - 0.5, fy - std::floor(fy) - 0.5, 0.0};
}
