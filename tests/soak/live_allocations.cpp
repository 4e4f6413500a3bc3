// Replacement global operator new and delete that count the blocks and bytes in use.
// Every C++ allocation of the game (elements, captions, maps, vectors) comes through
// here, so the count is an exact measure of what the game holds, unlike the process
// size, which AddressSanitizer's quarantine and the allocator's caches blur.
#include "live_allocations.h"

#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace tilerush::soak {
namespace {

std::atomic<std::int64_t> liveBlocks{0};
std::atomic<std::int64_t> liveBytes{0};

// The size the allocator reports for a block, the same at allocation and release.
void counted(void* block, int sign) {
  if (!block) return;
  liveBlocks.fetch_add(sign, std::memory_order_relaxed);
  liveBytes.fetch_add(sign * static_cast<std::int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
}

void* allocate(std::size_t size, std::size_t alignment, bool mayThrow) {
  if (size == 0) size = 1;
  void* block = nullptr;
  if (alignment <= alignof(std::max_align_t)) {
    block = std::malloc(size);
  } else {
    // aligned_alloc wants a size that is a multiple of the alignment.
    block = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  }
  if (!block && mayThrow) throw std::bad_alloc();
  counted(block, +1);
  return block;
}

void release(void* block) {
  counted(block, -1);
  std::free(block);
}

constexpr std::size_t kPlain = alignof(std::max_align_t);
std::size_t asSize(std::align_val_t alignment) { return static_cast<std::size_t>(alignment); }

}  // namespace

LiveAllocations liveAllocations() { return {liveBlocks.load(), liveBytes.load()}; }

}  // namespace tilerush::soak

using tilerush::soak::allocate;
using tilerush::soak::asSize;
using tilerush::soak::kPlain;
using tilerush::soak::release;

void* operator new(std::size_t n) { return allocate(n, kPlain, true); }
void* operator new[](std::size_t n) { return allocate(n, kPlain, true); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, kPlain, false); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, kPlain, false); }
void* operator new(std::size_t n, std::align_val_t a) { return allocate(n, asSize(a), true); }
void* operator new[](std::size_t n, std::align_val_t a) { return allocate(n, asSize(a), true); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return allocate(n, asSize(a), false);
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return allocate(n, asSize(a), false);
}

void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { release(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { release(p); }
