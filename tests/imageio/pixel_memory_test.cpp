// Large pixel blocks freed are kept for the next blocks of the same size or smaller, pages and all,
// and given back before a fresh block is mapped, so that keeping never adds to a render's peak.
#include "image/pixel_memory.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <fstream>

namespace {

double ResidentMegabytes() {
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

TEST(PixelMemory, AFreedBlockServesItsSizeOrSmallerOnesAndGoesBeforeAFreshOneIsMapped) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "large blocks come from the heap under the address sanitizer";
#endif
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  constexpr std::size_t kBytes = 64 * kMiB;
  char* block = static_cast<char*>(pixel_memory::Allocate(kBytes));
  ASSERT_NE(block, nullptr);
  std::memset(block, 7, kBytes);
  pixel_memory::Free(block, kBytes);
  char* again = static_cast<char*>(pixel_memory::Allocate(kBytes));
  EXPECT_EQ(again, block);
  EXPECT_EQ(again[kBytes - 1], 7);
  pixel_memory::Free(again, kBytes);

  // A merged image's colour and alpha planes in the pages of the frame freed before them.
  char* head = static_cast<char*>(pixel_memory::Allocate(48 * kMiB));
  char* tail = static_cast<char*>(pixel_memory::Allocate(16 * kMiB));
  EXPECT_EQ(head, block);
  EXPECT_EQ(tail, block + 48 * kMiB);
  EXPECT_EQ(tail[16 * kMiB - 1], 7);
  pixel_memory::Free(head, 48 * kMiB);
  pixel_memory::Free(tail, 16 * kMiB);

  const double kept = ResidentMegabytes();
  void* larger = pixel_memory::Allocate(2 * kBytes);
  ASSERT_NE(larger, nullptr);
  EXPECT_LT(ResidentMegabytes(), kept - 48.0);
  pixel_memory::Free(larger, 2 * kBytes);
}

}  // namespace
