// Apply and Remove on arbitrary bytes: the checks of the differential tests
// (tests/differential.h), the literal method's result and the properties
// every text must have.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "differential.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The front ends refuse a text holding a NUL byte before any command runs.
    if (input.find('\0') != std::string::npos) return 0;
    if (const char* failed = differential::FailedCheck(input)) {
        std::fprintf(stderr, "check failed: %s\n", failed);
        std::abort();
    }
    return 0;
}
