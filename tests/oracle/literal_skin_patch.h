// The literal method of both transforms, kept as the reference that the
// fast transforms of the core must match byte for byte, counts included.
//
// Written for clarity, not speed: every insertion copies the whole text,
// every in-place removal moves the rest of it, and every search is a plain
// loop, exactly as the transforms were first described. It shares no code
// with the core, so that a fault there cannot hide in both.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace oracle {

struct Outcome {
    std::string text;
    int32_t count = 0;
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

// The adding transform: the script line, then the wrappers (backward scan).
[[nodiscard]] Outcome LiteralAdd(std::string text);
// The removing transform: its eight phases in order.
[[nodiscard]] Outcome LiteralRemove(std::string text);

// The searches the transforms are described with; the core's own search
// primitives must give the same answers. Case folding maps A-Z to a-z.
// The first p >= start where `needle` matches, or -1.
[[nodiscard]] int32_t Find(std::string_view text, std::string_view needle, int32_t start,
                           bool anyCase);
// The nearest "<" at or before `start` if the name after it begins with
// `name` (any case), else -1.
[[nodiscard]] int32_t TagOpenBack(std::string_view text, std::string_view name, int32_t start);
// If the first "<" at or after `start` (leaving room for "/name>") opens an
// end tag whose name begins with `name`, the position past the next ">";
// else -1.
[[nodiscard]] int32_t TagCloseFwd(std::string_view text, std::string_view name, int32_t start);
// The blanks and tabs from `start` on, and a CR LF after them: how many bytes.
[[nodiscard]] int32_t LineTail(std::string_view text, int32_t start);

}  // namespace oracle
