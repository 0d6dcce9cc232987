// Makes one chosen allocation of the test program fail with std::bad_alloc,
// to prove what the code does when memory runs out.
#pragma once

#include <cstdint>

class ScopedAllocationFailure {
public:
    // The `nth` allocation from now on (1 = the next one) throws.
    explicit ScopedAllocationFailure(int64_t nth);
    ~ScopedAllocationFailure();
    ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
    ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;

    // True once the chosen allocation has been refused.
    [[nodiscard]] static bool Triggered();
};

// While one exists, allocations neither fail nor count: for the test's own
// bookkeeping inside code under test.
class AllocationFailureSuspended {
public:
    AllocationFailureSuspended();
    ~AllocationFailureSuspended();
    AllocationFailureSuspended(const AllocationFailureSuspended&) = delete;
    AllocationFailureSuspended& operator=(const AllocationFailureSuspended&) = delete;

private:
    int64_t m_savedCountdown;
};
