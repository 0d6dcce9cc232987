// A heap block of bytes whose contents are left as they come, for buffers that
// are written in full right after. std::make_unique_for_overwrite does the
// same, but some standard libraries still lack it (Emscripten's libc++).
#pragma once

#include <cstddef>
#include <memory>

namespace orlimo {

[[nodiscard]] inline std::unique_ptr<char[]> NewUninitializedBytes(std::size_t count)
{
    return std::unique_ptr<char[]>(new char[count]);
}

}  // namespace orlimo
