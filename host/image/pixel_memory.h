#pragma once

#include <cstddef>

// Memory for large pixel stores (frames, camera images): blocks of a huge page and more are aligned to and
// advised as huge pages, so that the first touch of a frame faults a few hundred times instead of
// tens of thousands; small blocks come from the ordinary heap. The last few large blocks freed are
// kept for the next of the same size.
namespace pixel_memory {

// Null when the memory cannot be had.
void* Allocate(std::size_t bytes) noexcept;
// Frees a block from Allocate of the same size.
void Free(void* block, std::size_t bytes) noexcept;

}  // namespace pixel_memory
