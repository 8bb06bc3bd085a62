#include "pixel_memory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace pixel_memory {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below a few huge pages the rounding would cost more than the faults it saves.
constexpr std::size_t kSmallestHugeBlock = 4 * kHugePage;

bool IsHuge(std::size_t bytes) { return bytes >= kSmallestHugeBlock; }

}  // namespace

void* Allocate(std::size_t bytes) noexcept {
  if (!IsHuge(bytes)) return std::malloc(bytes);
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* block = std::aligned_alloc(kHugePage, rounded);
  // Only advice: where huge pages are off the block works with ordinary pages.
  if (block) madvise(block, rounded, MADV_HUGEPAGE);
  return block;
}

void Free(void* block, std::size_t) noexcept { std::free(block); }

}  // namespace pixel_memory
