#include "allocation_failure.h"

#include <cstdlib>
#include <new>

namespace {
using namespace allocation_failure;

AllocationWatcher g_watcher = nullptr;

[[maybe_unused]] const bool g_armed = [] {
    if (const char* nth = std::getenv("ORLIMO_FAIL_ALLOCATION")) t_countdown = std::atoll(nth);
    return true;
}();
}  // namespace

void WatchAllocations(AllocationWatcher watcher) noexcept
{
    g_watcher = watcher;
}

// The array forms are replaced too: a sanitizer's runtime would otherwise
// provide them, bypassing these.
void* operator new(std::size_t size)
{
    if (t_countdown > 0 && --t_countdown == 0) {
        t_refused = size + 1;
        throw std::bad_alloc();
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    if (g_watcher != nullptr) g_watcher(block, true);
    return block;
}

void operator delete(void* block) noexcept
{
    if (block != nullptr && g_watcher != nullptr) g_watcher(block, false);
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete[](void* block) noexcept
{
    operator delete(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    operator delete(block);
}
