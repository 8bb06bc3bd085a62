#pragma once

#include <cstdint>

// Scalar types shared by the geometry layer and the host-interface layer.
using Int32 = std::int32_t;
using UInt32 = std::uint32_t;
using Int64 = std::int64_t;
using Float = double;
using Float32 = float;
using Bool = bool;
using Char = char;
