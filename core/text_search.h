// The searches the transforms are built from: pure functions of their
// arguments, which read no byte at or past text.size(). Comparisons follow
// byte_compare.h: exact, or with ASCII A-Z taken as a-z on both sides.
//
// Positions are signed 32-bit byte indexes (no text reaches 2^31 bytes).
// Every search that finds nothing answers kNotFound, here and in
// byte_scan.h; callers test a position's sign, never kNotFound's value.
#pragma once

#include <cstdint>
#include <string_view>

namespace orlimo {

inline constexpr int32_t kNotFound = -1;

// The first p >= start where `needle` (not empty) matches exactly. start >= 0.
[[nodiscard]] int32_t FindText(std::string_view text, std::string_view needle,
                               int32_t start) noexcept;
// As FindText, ASCII letters compared without regard to case.
[[nodiscard]] int32_t FindTextNoCase(std::string_view text, std::string_view needle,
                                     int32_t start) noexcept;
// The nearest "<" at or before `start` (which may be negative), if the name
// that follows it begins with `name` (any case). Only the nearest "<"
// counts, and the name test is a prefix test ("p" matches "<pre").
[[nodiscard]] int32_t FindTagOpenBack(std::string_view text, std::string_view name,
                                      int32_t start) noexcept;
// If the first "<" at or after `start` (>= 0) that leaves room for "</name>"
// opens an end tag whose name begins with `name` (any case), the position
// just past the next ">".
[[nodiscard]] int32_t FindTagCloseFwd(std::string_view text, std::string_view name,
                                      int32_t start) noexcept;
// The number of bytes of blanks and tabs from `start` (>= 0) on, plus 2 if a
// CR LF follows them; 0 when there are none. (Not a search: never kNotFound.)
[[nodiscard]] int32_t MeasureLineTail(std::string_view text, int32_t start) noexcept;

// The first NUL byte. The host operations hand the text over NUL-terminated,
// so a front end refuses a text that holds one rather than see it cut there.
[[nodiscard]] int32_t FindNulByte(std::string_view text) noexcept;

}  // namespace orlimo
