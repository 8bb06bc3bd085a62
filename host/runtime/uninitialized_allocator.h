#pragma once

#include <memory>
#include <new>
#include <utility>

// An allocator whose vectors leave new elements of trivial types uninitialized on resize, for large
// pixel stores that are written whole right after: no clearing pass and no page touched twice.
// Callers that need zeros say so (assign with a value).
template <typename T>
class UninitializedAllocator : public std::allocator<T> {
 public:
  using std::allocator<T>::allocator;
  template <typename U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };

  template <typename U>
  void construct(U* place) noexcept {
    ::new (static_cast<void*>(place)) U;
  }
  template <typename U, typename... Arguments>
  void construct(U* place, Arguments&&... arguments) {
    ::new (static_cast<void*>(place)) U(std::forward<Arguments>(arguments)...);
  }
};
