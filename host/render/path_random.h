#pragma once

#include "c4d.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

// The random numbers of one sample's light path, decided by its primary ray alone, so that a render
// repeats exactly at any thread count, and a camera image comes out the same wherever the frame places
// it and however it is mirrored. The ray is rounded first (its origin to 1/1024 of a scene unit, its
// direction to 1/65536) so that the last bits of two computations of one ray cannot tell them apart.
// Each dimension of the path (a light's direction, a bounce) draws its own number.
class PathRandom {
 public:
  PathRandom() = default;
  PathRandom(const Vector& origin, const Vector& direction) {
    constexpr Float kOriginSteps = 1024.0;
    constexpr Float kDirectionSteps = 65536.0;
    const Float values[6] = {origin.x * kOriginSteps,       origin.y * kOriginSteps,
                             origin.z * kOriginSteps,       direction.x * kDirectionSteps,
                             direction.y * kDirectionSteps, direction.z * kDirectionSteps};
    std::uint64_t hash = 0x9e3779b97f4a7c15ull;
    for (const Float value : values) {
      const Float rounded = std::round(value) + 0.0;  // + 0.0: -0 and 0 alike
      std::uint64_t bits = 0;
      std::memcpy(&bits, &rounded, sizeof(bits));
      hash = Mix(hash ^ bits);
    }
    seed_ = hash;
  }

  // The next dimension's number in [0, 1).
  Float Next() {
    return static_cast<Float>(Mix(seed_ + ++dimension_ * 0x9e3779b97f4a7c15ull) >> 11) * 0x1.0p-53;
  }

  // The next two dimensions' numbers.
  void Next2(Float& a, Float& b) {
    a = Next();
    b = Next();
  }

 private:
  // SplitMix64's finaliser: every bit of the input stirs every bit of the output.
  static std::uint64_t Mix(std::uint64_t h) {
    h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9ull;
    h = (h ^ (h >> 27)) * 0x94d049bb133111ebull;
    return h ^ (h >> 31);
  }

  std::uint64_t seed_ = 0;
  std::uint64_t dimension_ = 0;
};

// Two unit axes across unit vector n, at right angles to it and to each other, without a branch on
// its direction (Duff et al., "Building an orthonormal basis, revisited").
inline void AxesAcross(const Vector& n, Vector& across, Vector& along) {
  const Float sign = std::copysign(1.0, n.z);
  const Float p = -1.0 / (sign + n.z);
  const Float q = n.x * n.y * p;
  across = Vector(1.0 + sign * n.x * n.x * p, sign * q, -sign * n.x);
  along = Vector(q, sign + n.y * n.y * p, -n.y);
}

// A direction over the hemisphere around unit normal n, more likely the nearer it is to n (in
// proportion to the cosine, as a matte surface scatters light), from random numbers (a, b) in [0, 1).
inline Vector CosineDirection(const Vector& n, Float a, Float b) {
  constexpr Float kTwoPi = 6.283185307179586;
  const Float radius = std::sqrt(a);
  Vector across;
  Vector along;
  AxesAcross(n, across, along);
  return across * (radius * std::cos(kTwoPi * b)) + along * (radius * std::sin(kTwoPi * b)) +
         n * std::sqrt(std::max(0.0, 1.0 - a));
}
