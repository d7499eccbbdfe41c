#include "audiofiles/import/ImportMemory.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

constexpr std::size_t kHugePage = 2 << 20;

std::size_t Rounded(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* AllocateLargeMemory(std::size_t bytes) {
  // A huge page more than asked for, so that the start can move to a huge page's
  // boundary; what lies before and after it is given back.
  const std::size_t size = Rounded(bytes);
  void* map = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (map == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(map);
  const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
  if (aligned > start) ::munmap(map, aligned - start);
  const std::size_t after = kHugePage - (aligned - start);
  if (after > 0) ::munmap(reinterpret_cast<void*>(aligned + size), after);
  void* p = reinterpret_cast<void*>(aligned);
  ::madvise(p, size, MADV_HUGEPAGE);  // a hint: without huge pages it is ordinary memory
  return p;
}

void FreeLargeMemory(void* p, std::size_t bytes) {
  if (p) ::munmap(p, Rounded(bytes));
}
