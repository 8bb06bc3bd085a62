#pragma once

#include "pixel_memory.h"

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

// An allocator whose vectors leave new elements of trivial types uninitialized on resize, for large
// pixel stores that are written whole right after: no clearing pass and no page touched twice.
// Callers that need zeros say so (assign with a value). Large stores take huge pages (pixel_memory).
template <typename T>
class UninitializedAllocator : public std::allocator<T> {
 public:
  using std::allocator<T>::allocator;
  template <typename U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };

  T* allocate(std::size_t count) {
    if (count > std::allocator_traits<std::allocator<T>>::max_size(*this)) throw std::bad_array_new_length();
    void* block = pixel_memory::Allocate(count * sizeof(T));
    if (!block) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* block, std::size_t count) noexcept { pixel_memory::Free(block, count * sizeof(T)); }

  template <typename U>
  void construct(U* place) noexcept {
    ::new (static_cast<void*>(place)) U;
  }
  template <typename U, typename... Arguments>
  void construct(U* place, Arguments&&... arguments) {
    ::new (static_cast<void*>(place)) U(std::forward<Arguments>(arguments)...);
  }
};
