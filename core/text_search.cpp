// The five pure search primitives. None reads a byte at or past text.size().
// The forward searches leap from one candidate byte to the next (memchr)
// rather than test every position.
#include "skin_patch_core.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "byte_compare.h"

using orlimo::EqualsNoCaseAt;

namespace {
// First `c` in [from, end), or INT32_MAX.
[[nodiscard]] int32_t NextByteOrMax(const char* base, int32_t from, int32_t end, char c) noexcept
{
    const void* hit = std::memchr(base + from, c, static_cast<std::size_t>(end - from));
    return hit == nullptr ? INT32_MAX : static_cast<int32_t>(static_cast<const char*>(hit) - base);
}
}  // namespace

int32_t CSkinPatchCore::FindText(std::string_view text, std::string_view needle,
                                 int32_t start) noexcept
{
    if (start < 0) start = 0;
    const std::size_t p = text.find(needle, static_cast<std::size_t>(start));
    return p == std::string_view::npos ? -1 : static_cast<int32_t>(p);
}

int32_t CSkinPatchCore::FindTextNoCase(std::string_view text, std::string_view needle,
                                       int32_t start) noexcept
{
    const int32_t n = static_cast<int32_t>(needle.size());
    const int32_t last = static_cast<int32_t>(text.size()) - n;
    assert(n > 0);
    // Jump between the places where the first byte matches in either case;
    // each case's next place is remembered, so the text is read once.
    const char lower = static_cast<char>(orlimo::FoldAscii(static_cast<unsigned char>(needle[0])));
    const char upper =
        lower >= 'a' && lower <= 'z' ? static_cast<char>(lower - ('a' - 'A')) : lower;
    const char* base = text.data();
    const int32_t end = last + 1;  // candidates lie in [start, end)
    int32_t nextLower = -1;
    int32_t nextUpper = upper == lower ? INT32_MAX : -1;
    for (int32_t p = std::max<int32_t>(start, 0); p < end;) {
        if (nextLower < p) nextLower = NextByteOrMax(base, p, end, lower);
        if (nextUpper < p) nextUpper = NextByteOrMax(base, p, end, upper);
        p = std::min(nextLower, nextUpper);
        if (p >= end) return -1;
        if (EqualsNoCaseAt(text, p, needle)) return p;
        ++p;
    }
    return -1;
}

int32_t CSkinPatchCore::FindTagOpenBack(std::string_view text, std::string_view name,
                                        int32_t start) noexcept
{
    int32_t p = std::min<int32_t>(start, static_cast<int32_t>(text.size()) - 1);
    while (p >= 0 && text[static_cast<std::size_t>(p)] != '<') --p;
    return p >= 0 && EqualsNoCaseAt(text, p + 1, name) ? p : -1;
}

int32_t CSkinPatchCore::FindTagCloseFwd(std::string_view text, std::string_view name,
                                        int32_t start) noexcept
{
    const int32_t length = static_cast<int32_t>(text.size());
    const int32_t n = static_cast<int32_t>(name.size());
    const int32_t last = length - n - 3;  // last "<" from which "</name>" still fits
    if (start < 0) start = 0;
    if (start > last) return -1;

    const char* base = text.data();
    const void* lt = std::memchr(base + start, '<', static_cast<std::size_t>(last - start + 1));
    if (lt == nullptr) return -1;
    const int32_t p = static_cast<int32_t>(static_cast<const char*>(lt) - base);
    if (base[p + 1] != '/' || !EqualsNoCaseAt(text, p + 2, name)) return -1;

    const int32_t from = p + n + 2;
    const void* gt = std::memchr(base + from, '>', static_cast<std::size_t>(length - from));
    if (gt == nullptr) return -1;
    return static_cast<int32_t>(static_cast<const char*>(gt) - base) + 1;
}

int32_t CSkinPatchCore::MeasureLineTail(std::string_view text, int32_t start) noexcept
{
    const int32_t length = static_cast<int32_t>(text.size());
    if (start < 0) start = 0;
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
