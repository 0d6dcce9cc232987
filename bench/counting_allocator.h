// Counts the bytes the program holds on the heap, so that the benchmark can
// report the peak extra memory of one command.
#pragma once

#include <cstddef>

namespace bench {

// Bytes held now.
[[nodiscard]] std::size_t HeapBytesInUse() noexcept;
// Highest HeapBytesInUse() since the last ResetHeapPeak().
[[nodiscard]] std::size_t HeapPeak() noexcept;
void ResetHeapPeak() noexcept;

}  // namespace bench
