// Replaces the global allocation functions, for the test programs and the
// benchmark: it can make one chosen allocation fail with std::bad_alloc, to
// prove what the code does when memory runs out, and it lets the benchmark
// watch every allocation. A whole program under test takes the choice from
// the environment: ORLIMO_FAIL_ALLOCATION=K refuses the K-th allocation after
// start-up.
#pragma once

#include <cstddef>
#include <cstdint>

// The state, here so that a program without the replacement (the fuzz
// target) can hold the classes below too: they then change nothing.
namespace allocation_failure {
inline thread_local int64_t t_countdown = 0;    // refuse the allocation that makes it 0; 0: none
inline thread_local std::size_t t_refused = 0;  // the size of the refused allocation, plus one
}  // namespace allocation_failure

class ScopedAllocationFailure {
public:
    // The `nth` allocation of this thread from now on (1 = the next one) throws.
    explicit ScopedAllocationFailure(int64_t nth)
    {
        allocation_failure::t_refused = 0;
        allocation_failure::t_countdown = nth;
    }
    ~ScopedAllocationFailure() { allocation_failure::t_countdown = 0; }

    // True once the chosen allocation has been refused; how many bytes it asked for.
    [[nodiscard]] static bool Triggered() { return allocation_failure::t_refused != 0; }
    [[nodiscard]] static std::size_t RefusedSize() { return allocation_failure::t_refused - 1; }
};

// While one exists, allocations neither fail nor count: for the test's own
// bookkeeping inside code under test.
class AllocationFailureSuspended {
public:
    AllocationFailureSuspended() { allocation_failure::t_countdown = 0; }
    ~AllocationFailureSuspended() { allocation_failure::t_countdown = m_savedCountdown; }

private:
    int64_t m_savedCountdown = allocation_failure::t_countdown;
};

// Called with each block right after it is allocated (`allocated` true) and
// right before it is freed; null (the default) for none.
using AllocationWatcher = void (*)(void* block, bool allocated);
void WatchAllocations(AllocationWatcher watcher) noexcept;
