#pragma once

#include "tiny_gltf_config.h"

#include <cstdint>
#include <string>
#include <vector>

// Reading glTF accessors as a file from anywhere may write them: every range is checked against
// its buffer view and buffer before a byte is read, sizes are checked for overflow, counts are
// bounded before anything is allocated, sparse substitutions are checked. Errors name the
// element: "accessors[3]: ...".
namespace gltf_accessor {

// At most this many elements per accessor.
inline constexpr size_t kMaxElements = size_t(1) << 24;

// The accessor's elements as `components` floats each (normalised integers scaled to 0..1 or
// -1..1); the accessor's type must have exactly that many components. Non-finite values refuse.
bool ReadFloats(const tinygltf::Model& model, int index, int components, std::vector<float>& values,
                std::string& error);

// An index accessor (unsigned byte, short or int scalars).
bool ReadIndices(const tinygltf::Model& model, int index, std::vector<uint32_t>& values, std::string& error);

}  // namespace gltf_accessor
