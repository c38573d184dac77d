// The command's allocation policy for large blocks: they ask the kernel for huge pages.
// A paste of ten megabytes makes blocks of tens of megabytes that are written once, and
// under virtualisation each fresh 4 KiB page costs a fault of several microseconds, more
// than the clean-up itself; a 2 MiB page costs one fault for 512 of them. Everything
// else is plain malloc and free.
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Below a few huge pages the advice would cover little of the block.
constexpr size_t kLargeBlock = 4 * kHugePage;

void* Allocate(size_t size) noexcept {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block && size >= kLargeBlock) {
    // Only whole huge pages inside the block take the advice; the edges stay small pages.
    auto begin = (reinterpret_cast<uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
    auto end = (reinterpret_cast<uintptr_t>(block) + size) & ~(kHugePage - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
  }
  return block;
}

}  // namespace

void* operator new(size_t size) {
  void* block = Allocate(size);
  if (!block) throw std::bad_alloc();
  return block;
}
void* operator new[](size_t size) {
  void* block = Allocate(size);
  if (!block) throw std::bad_alloc();
  return block;
}
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
