// Byte scans that remember their last answer, so that a run of searches
// whose start points move one way costs one pass over the text in all.
//
// Each finder works on a fixed block of bytes. A finder answers any query
// correctly; it is linear in total only when its queries move one way (as
// each user below states), because it keeps a single remembered interval.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "text_search.h"

namespace orlimo {

// First `c` in [from, to).
[[nodiscard]] inline int32_t FindFirstByte(const char* base, int32_t from, int32_t to,
                                           char c) noexcept
{
    if (from >= to) return kNotFound;
    const void* hit = std::memchr(base + from, c, static_cast<std::size_t>(to - from));
    return hit == nullptr ? kNotFound : static_cast<int32_t>(static_cast<const char*>(hit) - base);
}

// Last `c` in [from, to).
[[nodiscard]] inline int32_t FindLastByte(const char* base, int32_t from, int32_t to,
                                          char c) noexcept
{
    if (from >= to) return kNotFound;
#if defined(__GLIBC__)
    const void* hit = memrchr(base + from, c, static_cast<std::size_t>(to - from));
    return hit == nullptr ? kNotFound : static_cast<int32_t>(static_cast<const char*>(hit) - base);
#else
    for (int32_t p = to - 1; p >= from; --p) {
        if (base[p] == c) return p;
    }
    return kNotFound;
#endif
}

// The first `c` at or after a position. Linear in total for queries whose
// positions only fall, or only rise.
class FirstByteFinder {
public:
    FirstByteFinder(std::string_view bytes, char c) noexcept
        : m_base(bytes.data()),
          m_size(static_cast<int32_t>(bytes.size())),
          m_byte(c),
          m_from(m_size),
          m_found(m_size)
    {
    }

    // Position of the first `c` in [at, size).
    [[nodiscard]] int32_t AtOrAfter(int32_t at) noexcept
    {
        if (at < m_from || at > m_found) {
            int32_t found;
            if (at < m_from) {  // only [at, m_from) is new
                found = FindFirstByte(m_base, at, m_from, m_byte);
                if (found < 0) found = m_found;
            } else {
                found = FindFirstByte(m_base, at, m_size, m_byte);
                if (found < 0) found = m_size;
            }
            m_from = at;
            m_found = found;
        }
        return m_found < m_size ? m_found : kNotFound;
    }

private:
    const char* m_base;
    int32_t m_size;
    char m_byte;
    // No `c` in [m_from, m_found); m_found is a `c` or the size.
    int32_t m_from;
    int32_t m_found;
};

// The last `c` at or before a position. Linear in total for queries whose
// positions only fall, or only rise.
class LastByteFinder {
public:
    LastByteFinder(std::string_view bytes, char c) noexcept : m_base(bytes.data()), m_byte(c) {}

    // Position of the last `c` in [0, at].
    [[nodiscard]] int32_t AtOrBefore(int32_t at) noexcept
    {
        if (at <= m_to && at >= m_found) return m_found;
        int32_t found;
        if (at > m_to) {  // only (m_to, at] is new
            found = FindLastByte(m_base, m_to + 1, at + 1, m_byte);
            if (found < 0) found = m_found;
        } else {  // below the remembered `c`
            found = FindLastByte(m_base, 0, at + 1, m_byte);
        }
        m_to = at;
        m_found = found;
        return found;
    }

private:
    const char* m_base;
    char m_byte;
    // No `c` in (m_found, m_to]; m_found is a `c`, or kNotFound.
    int32_t m_to = -1;
    int32_t m_found = kNotFound;
};

}  // namespace orlimo
