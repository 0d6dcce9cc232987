// Replaces the global allocation functions of the test program. Unarmed they
// behave as the standard ones; armed they count allocations down and refuse
// the chosen one. Only this thread's allocations count.
#include "allocation_failure.h"

#include <cstdlib>
#include <new>

namespace {
thread_local int64_t t_countdown = 0;  // 0: unarmed
thread_local bool t_triggered = false;

void* Allocate(std::size_t size)
{
    if (t_countdown > 0 && --t_countdown == 0) {
        t_triggered = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
}  // namespace

ScopedAllocationFailure::ScopedAllocationFailure(int64_t nth)
{
    t_triggered = false;
    t_countdown = nth;
}

ScopedAllocationFailure::~ScopedAllocationFailure()
{
    t_countdown = 0;
}

bool ScopedAllocationFailure::Triggered()
{
    return t_triggered;
}

AllocationFailureSuspended::AllocationFailureSuspended() : m_savedCountdown(t_countdown)
{
    t_countdown = 0;
}

AllocationFailureSuspended::~AllocationFailureSuspended()
{
    t_countdown = m_savedCountdown;
}

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
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
