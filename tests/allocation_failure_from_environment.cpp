// Arms the allocation failure from the environment, for a test build of a
// whole program: ORLIMO_FAIL_ALLOCATION=K makes the K-th allocation after
// start-up throw std::bad_alloc.
#include <cstdlib>

#include "allocation_failure.h"

namespace {

[[nodiscard]] ScopedAllocationFailure* ArmFromEnvironment()
{
    const char* nth = std::getenv("ORLIMO_FAIL_ALLOCATION");
    if (nth == nullptr) return nullptr;
    // Lives to the end of the program: the countdown must stay armed.
    static ScopedAllocationFailure failure(std::atoll(nth));
    return &failure;
}

[[maybe_unused]] ScopedAllocationFailure* const g_armed = ArmFromEnvironment();

}  // namespace
