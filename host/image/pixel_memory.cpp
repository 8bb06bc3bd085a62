#include "pixel_memory.h"

#include <sys/mman.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace pixel_memory {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// From one huge page up: rounding up wastes less than a page, and a camera window's alpha plane of
// a few megabytes would otherwise fault a thousand ordinary pages in every frame.
constexpr std::size_t kSmallestHugeBlock = kHugePage;

// The address sanitizer watches only the heap's blocks: under it, large blocks come from the heap too.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLargeBlocks = false;
#else
constexpr bool kMapLargeBlocks = true;
#endif

bool IsHuge(std::size_t bytes) { return kMapLargeBlocks && bytes >= kSmallestHugeBlock; }

std::size_t Rounded(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

// Blocks kept are at most this large: a giant frame's memory goes back to the system at once.
constexpr std::size_t kLargestKept = std::size_t{1} << 30;

// The last large blocks freed stay mapped, with their pages, for the next block of the same size or
// smaller: a render after a render, a frame's buffers after the last frame's, the merged image of a
// frame in the frame's own pages fault no fresh pages. A larger block is split: its head is taken,
// its tail kept in its place. The oldest goes back to the system when a newer one takes its place,
// and all of them as soon as a fresh block is mapped, so that a render's peak memory stays what it
// was.
class KeptBlocks {
 public:
  void* Take(std::size_t rounded) {
    const std::lock_guard<std::mutex> lock(mutex_);
    Block* fitting = nullptr;
    for (Block& kept : blocks_) {
      if (!kept.address || kept.bytes < rounded) continue;
      if (!fitting || kept.bytes < fitting->bytes) fitting = &kept;
    }
    if (!fitting) return nullptr;
    void* block = fitting->address;
    if (fitting->bytes == rounded) {
      *fitting = {};
    } else {
      fitting->address = static_cast<char*>(fitting->address) + rounded;
      fitting->bytes -= rounded;
    }
    return block;
  }
  // Gives every kept block back to the system: called before mapping a fresh one, so that keeping
  // never adds to the memory a render takes at its peak.
  void ReleaseAll() {
    std::array<Block, kCount> released;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      released = std::exchange(blocks_, {});
    }
    for (const Block& block : released)
      if (block.address) munmap(block.address, block.bytes);
  }
  void Keep(void* block, std::size_t rounded) {
    Block oldest{block, rounded, 0};
    if (rounded <= kLargestKept) {
      const std::lock_guard<std::mutex> lock(mutex_);
      oldest.freedAt = ++clock_;
      for (Block& kept : blocks_) {
        if (kept.address && kept.freedAt >= oldest.freedAt) continue;
        std::swap(kept, oldest);
        if (!oldest.address) break;
      }
    }
    if (oldest.address) munmap(oldest.address, oldest.bytes);
  }

 private:
  struct Block {
    void* address = nullptr;
    std::size_t bytes = 0;
    std::uint64_t freedAt = 0;
  };
  std::mutex mutex_;
  static constexpr std::size_t kCount = 3;
  std::array<Block, kCount> blocks_{};
  std::uint64_t clock_ = 0;
};

// Never destroyed: frames freed by other static objects at exit still find it.
KeptBlocks& Kept() {
  static KeptBlocks* kept = new KeptBlocks();
  return *kept;
}

}  // namespace

// Large blocks are mapped from the system directly, not taken from the heap: freed, they go back at
// once (the heap would keep them, and its arenas would spread huge pages over other allocations).
void* Allocate(std::size_t bytes) noexcept {
  if (!IsHuge(bytes)) return std::malloc(bytes);
  const std::size_t rounded = Rounded(bytes);
  if (rounded < bytes || rounded > SIZE_MAX - kHugePage) return nullptr;
  if (void* kept = Kept().Take(rounded)) return kept;
  Kept().ReleaseAll();
  // Mapped one huge page larger, then trimmed to a block that starts on a huge-page boundary.
  const std::size_t mapped = rounded + kHugePage;
  void* area = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(area);
  const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
  if (aligned > start) munmap(area, aligned - start);
  if (const std::size_t tail = start + mapped - (aligned + rounded); tail > 0)
    munmap(reinterpret_cast<void*>(aligned + rounded), tail);
  void* block = reinterpret_cast<void*>(aligned);
  // Only advice: where huge pages are off the block works with ordinary pages.
  madvise(block, rounded, MADV_HUGEPAGE);
  return block;
}

void Free(void* block, std::size_t bytes) noexcept {
  if (!block) return;
  if (!IsHuge(bytes)) return std::free(block);
  Kept().Keep(block, Rounded(bytes));
}

}  // namespace pixel_memory
