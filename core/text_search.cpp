// The forward searches leap from one place of a byte they need to the next
// (memchr, as std::string_view::find does) rather than test every position.
#include "text_search.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "byte_compare.h"
#include "byte_scan.h"

namespace orlimo {

int32_t FindText(std::string_view text, std::string_view needle, int32_t start) noexcept
{
    assert(!needle.empty() && start >= 0);
    const std::size_t p = text.find(needle, static_cast<std::size_t>(start));
    return p == std::string_view::npos ? kNotFound : static_cast<int32_t>(p);
}

int32_t FindTextNoCase(std::string_view text, std::string_view needle, int32_t start) noexcept
{
    assert(!needle.empty() && start >= 0);
    const int32_t end = static_cast<int32_t>(text.size()) - static_cast<int32_t>(needle.size()) + 1;
    const unsigned char first = FoldAscii(static_cast<unsigned char>(needle[0]));
    if (first < 'a' || first > 'z') {  // a first byte without case: leap between its places
        for (int32_t p = start; (p = FindFirstByte(text.data(), p, end, needle[0])) >= 0; ++p) {
            if (EqualsNoCaseAt(text, p, needle)) return p;
        }
        return kNotFound;
    }
    for (int32_t p = start; p < end; ++p) {
        if (EqualsNoCaseAt(text, p, needle)) return p;
    }
    return kNotFound;
}

int32_t FindTagOpenBack(std::string_view text, std::string_view name, int32_t start) noexcept
{
    int32_t p = std::min<int32_t>(start, static_cast<int32_t>(text.size()) - 1);
    while (p >= 0 && text[static_cast<std::size_t>(p)] != '<') --p;
    return p >= 0 && EqualsNoCaseAt(text, p + 1, name) ? p : kNotFound;
}

int32_t FindTagCloseFwd(std::string_view text, std::string_view name, int32_t start) noexcept
{
    assert(start >= 0);
    const auto length = static_cast<int32_t>(text.size());
    const auto n = static_cast<int32_t>(name.size());
    const int32_t last = length - n - 3;  // the last "<" from which "</name>" still fits
    const char* base = text.data();
    const int32_t p = FindFirstByte(base, start, last + 1, '<');
    if (p < 0 || base[p + 1] != '/' || !EqualsNoCaseAt(text, p + 2, name)) return kNotFound;
    const int32_t gt = FindFirstByte(base, p + n + 2, length, '>');
    return gt < 0 ? kNotFound : gt + 1;
}

int32_t MeasureLineTail(std::string_view text, int32_t start) noexcept
{
    assert(start >= 0);
    const auto length = static_cast<int32_t>(text.size());
    int32_t q = start;
    while (q < length && (text[static_cast<std::size_t>(q)] == ' ' ||
                          text[static_cast<std::size_t>(q)] == '\t')) {
        ++q;
    }
    if (q < length - 1 && text[static_cast<std::size_t>(q)] == '\r' &&
        text[static_cast<std::size_t>(q) + 1] == '\n') {
        q += 2;
    }
    return q - start;
}

int32_t FindNulByte(std::string_view text) noexcept
{
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? kNotFound : static_cast<int32_t>(nul);
}

}  // namespace orlimo
