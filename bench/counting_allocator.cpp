// Replaces the global allocation functions. Sizes come from the allocator
// itself (malloc_usable_size), so frees need no header.
#include "counting_allocator.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> g_inUse{0};
std::atomic<std::size_t> g_peak{0};

void* Allocate(std::size_t size)
{
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    const std::size_t now = g_inUse.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
    std::size_t peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void Release(void* p) noexcept
{
    if (p == nullptr) return;
    g_inUse.fetch_sub(malloc_usable_size(p));
    std::free(p);
}
}  // namespace

namespace bench {
std::size_t HeapBytesInUse() noexcept
{
    return g_inUse.load();
}
std::size_t HeapPeak() noexcept
{
    return g_peak.load();
}
void ResetHeapPeak() noexcept
{
    g_peak.store(g_inUse.load());
}
}  // namespace bench

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void operator delete(void* p) noexcept
{
    Release(p);
}
void operator delete[](void* p) noexcept
{
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    Release(p);
}
