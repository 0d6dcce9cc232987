// The two comparison rules of the transforms: exact, and ASCII case folding.
// Both compare a needle with the text at a position and never look past the
// end of the text: a needle that would pass the end does not match.
#pragma once

#include <cstdint>
#include <string_view>

namespace orlimo {

[[nodiscard]] constexpr unsigned char FoldAscii(unsigned char c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// True when text[p, p + needle.size()) equals needle byte for byte.
[[nodiscard]] constexpr bool EqualsAt(std::string_view text, int64_t p,
                                      std::string_view needle) noexcept
{
    if (p < 0 || p > static_cast<int64_t>(text.size()) - static_cast<int64_t>(needle.size())) {
        return false;
    }
    return text.substr(static_cast<std::size_t>(p), needle.size()) == needle;
}

// As EqualsAt, with A-Z taken as a-z on both sides. Locale-independent.
[[nodiscard]] constexpr bool EqualsNoCaseAt(std::string_view text, int64_t p,
                                            std::string_view needle) noexcept
{
    if (p < 0 || p > static_cast<int64_t>(text.size()) - static_cast<int64_t>(needle.size())) {
        return false;
    }
    for (std::size_t k = 0; k < needle.size(); ++k) {
        if (FoldAscii(static_cast<unsigned char>(text[static_cast<std::size_t>(p) + k])) !=
            FoldAscii(static_cast<unsigned char>(needle[k]))) {
            return false;
        }
    }
    return true;
}

}  // namespace orlimo
