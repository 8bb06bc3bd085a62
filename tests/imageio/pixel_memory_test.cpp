// Large pixel blocks freed are kept for the next block of the same size, pages and all, and given
// back before a block of another size is mapped, so that keeping never adds to a render's peak.
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

TEST(PixelMemory, AFreedBlockComesBackForItsSizeAndGoesBeforeAnotherSizeIsMapped) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "large blocks come from the heap under the address sanitizer";
#endif
  constexpr std::size_t kBytes = std::size_t{64} << 20;
  char* block = static_cast<char*>(pixel_memory::Allocate(kBytes));
  ASSERT_NE(block, nullptr);
  std::memset(block, 7, kBytes);
  pixel_memory::Free(block, kBytes);
  char* again = static_cast<char*>(pixel_memory::Allocate(kBytes));
  EXPECT_EQ(again, block);
  EXPECT_EQ(again[kBytes - 1], 7);
  pixel_memory::Free(again, kBytes);
  const double kept = ResidentMegabytes();
  void* other = pixel_memory::Allocate(kBytes / 2);
  ASSERT_NE(other, nullptr);
  EXPECT_LT(ResidentMegabytes(), kept - 48.0);
  pixel_memory::Free(other, kBytes / 2);
}

}  // namespace
