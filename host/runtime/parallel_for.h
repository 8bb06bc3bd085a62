#pragma once

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

#include <utility>

#if defined(__SANITIZE_THREAD__)
#define ORVEX_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ORVEX_THREAD_SANITIZER 1
#endif
#endif

#ifdef ORVEX_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace parallel {

// Runs body(range) over blocks of [begin, end) on all cores. Every parallel loop of the host goes
// through here. oneTBB hands a block to a worker and joins it inside libtbb.so; Debian's build of
// it is not instrumented, so under ThreadSanitizer those two edges are invisible and every body
// would be reported as racing with the thread that set its data up. The loop declares them: what
// the caller wrote before the loop happens before each body, and each body happens before the
// caller goes on.
template <class Index, class Body>
void For(Index begin, Index end, Body&& body) {
#ifdef ORVEX_THREAD_SANITIZER
  char handOver = 0;
  char join = 0;
  __tsan_release(&handOver);
  tbb::parallel_for(tbb::blocked_range<Index>(begin, end), [&](const tbb::blocked_range<Index>& range) {
    __tsan_acquire(&handOver);
    body(range);
    __tsan_release(&join);
  });
  __tsan_acquire(&join);
#else
  tbb::parallel_for(tbb::blocked_range<Index>(begin, end), std::forward<Body>(body));
#endif
}

}  // namespace parallel
