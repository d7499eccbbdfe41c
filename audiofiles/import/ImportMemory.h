// Memory for the samples of a long import, in huge pages where the system gives them
// (transparent huge pages, asked for per mapping). An import of an hour touches
// gigabytes of sample memory; in small pages every new page is a fault, and on a
// virtual machine a fault costs tens of microseconds, more than decoding the page's
// samples. In huge pages the same memory costs a few hundred times fewer faults.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

// Bytes from this size up come from huge-page mappings; smaller ones from the heap.
constexpr std::size_t kLargeImportAllocation = 1 << 20;

// A mapping of at least bytes bytes, aligned to a huge page and advised to be made
// of them; null when the system gives none. Free with FreeLargeMemory(p, bytes).
void* AllocateLargeMemory(std::size_t bytes);
void FreeLargeMemory(void* p, std::size_t bytes);

// The allocator of sample vectors of an import.
template <class T>
struct ImportAllocator {
  using value_type = T;
  ImportAllocator() = default;
  template <class U>
  ImportAllocator(const ImportAllocator<U>&) {}

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    void* p = bytes >= kLargeImportAllocation ? AllocateLargeMemory(bytes) : std::malloc(bytes);
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= kLargeImportAllocation)
      FreeLargeMemory(p, bytes);
    else
      std::free(p);
  }
  // Samples are written before they are read: growing a vector of them leaves the
  // new ones as they are instead of writing zeros first.
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <class U>
  bool operator==(const ImportAllocator<U>&) const {
    return true;
  }
};

template <class T>
using ImportVector = std::vector<T, ImportAllocator<T>>;
