// The Korean reports that end the Apply and Remove commands (UTF-8).
#pragma once

#include <cstdint>
#include <string>

namespace orlimo {

// Tests the removed count first: any removal gives the "removed, added"
// report, even when nothing was added.
[[nodiscard]] std::string ApplyReport(int32_t removed, int32_t added);
[[nodiscard]] std::string RemoveReport(int32_t removed);

}  // namespace orlimo
