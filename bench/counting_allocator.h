// Counts the bytes the program holds on the heap, so that the benchmark can
// report the peak extra memory of one command.
#pragma once

#include <cstdint>

namespace bench {

// Bytes held now, less those held before the count started.
[[nodiscard]] int64_t HeapBytesInUse() noexcept;
// Highest HeapBytesInUse() since the last ResetHeapPeak().
[[nodiscard]] int64_t HeapPeak() noexcept;
void ResetHeapPeak() noexcept;

}  // namespace bench
