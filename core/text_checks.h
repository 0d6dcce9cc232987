// Checks a front end makes on a text before it runs a command.
#pragma once

#include <cstddef>
#include <string_view>

namespace orlimo {

// Offset of the first NUL byte, or npos. The host operations hand the text
// over NUL-terminated, so a text holding a NUL would be cut there: refuse it.
[[nodiscard]] constexpr std::size_t FindNulByte(std::string_view text) noexcept
{
    return text.find('\0');
}

}  // namespace orlimo
