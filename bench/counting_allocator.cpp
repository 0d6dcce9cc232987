// Counts the heap through the tests' replacement of the allocation functions
// (tests/allocation_failure.cpp). Sizes come from the allocator itself
// (malloc_usable_size), so frees need no header. Blocks allocated before
// the count starts make it low, never the difference between two counts.
#include "counting_allocator.h"

#include <malloc.h>

#include <atomic>

#include "allocation_failure.h"

namespace {
std::atomic<int64_t> g_inUse{0};
std::atomic<int64_t> g_peak{0};

void Count(void* block, bool allocated)
{
    const auto size = static_cast<int64_t>(malloc_usable_size(block));
    if (!allocated) {
        g_inUse.fetch_sub(size);
        return;
    }
    const int64_t now = g_inUse.fetch_add(size) + size;
    int64_t peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

[[maybe_unused]] const bool g_counting = (WatchAllocations(Count), true);
}  // namespace

namespace bench {
int64_t HeapBytesInUse() noexcept
{
    return g_inUse.load();
}
int64_t HeapPeak() noexcept
{
    return g_peak.load();
}
void ResetHeapPeak() noexcept
{
    g_peak.store(g_inUse.load());
}
}  // namespace bench
