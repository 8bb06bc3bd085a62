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
#include <tbb/task_arena.h>

#include <algorithm>
#include <thread>
#include <vector>
#endif

namespace parallel {

// Runs body(range) over blocks of [begin, end) on all cores. Every parallel loop of the host goes
// through here.
//
// Under ThreadSanitizer the blocks run on plain threads instead of oneTBB's workers: Debian's
// libtbb.so is not instrumented, so the sanitizer cannot see it hand a task to a worker or join it
// and would report every body as racing with the thread that set its data up. Thread start and
// join it does see, so the bodies - the code that must not share writes - are still checked.
template <class Index, class Body>
void For(Index begin, Index end, Body&& body) {
#ifdef ORVEX_THREAD_SANITIZER
  if (end <= begin) return;
  const Index count = end - begin;
  const Index cores = static_cast<Index>(std::max(2, tbb::this_task_arena::max_concurrency()));
  const Index threads = std::min(cores, count);
  std::vector<std::thread> workers;
  for (Index t = 0; t < threads; ++t) {
    const Index first = begin + count * t / threads;
    const Index last = begin + count * (t + 1) / threads;
    workers.emplace_back([&body, first, last] { body(tbb::blocked_range<Index>(first, last)); });
  }
  for (std::thread& worker : workers) worker.join();
#else
  tbb::parallel_for(tbb::blocked_range<Index>(begin, end), std::forward<Body>(body));
#endif
}

// The same, in blocks of at least `grain` indices where there are enough (a block's first index may
// cost more than the others).
template <class Index, class Body>
void For(Index begin, Index end, Index grain, Body&& body) {
#ifdef ORVEX_THREAD_SANITIZER
  (void)grain;
  For(begin, end, std::forward<Body>(body));
#else
  tbb::parallel_for(tbb::blocked_range<Index>(begin, end, grain), std::forward<Body>(body));
#endif
}

}  // namespace parallel
