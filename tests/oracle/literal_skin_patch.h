// The literal method of both transforms, kept as the reference that the
// fast transforms of the core must match byte for byte, counts included.
//
// Written for clarity, not speed: every insertion copies the whole text and
// every in-place removal moves the rest of it, exactly as the transforms were
// first described. Built from the core's own search primitives.
#pragma once

#include <cstdint>
#include <string>

namespace oracle {

struct Outcome {
    std::string text;
    int32_t count = 0;
};

// The adding transform: the script line, then the wrappers (backward scan).
[[nodiscard]] Outcome LiteralAdd(std::string text);
// The removing transform: its eight phases in order.
[[nodiscard]] Outcome LiteralRemove(std::string text);
// Remove, then Add on its result: what the Apply command does.
struct ApplyOutcome {
    std::string text;
    int32_t removed = 0;
    int32_t added = 0;
};
[[nodiscard]] ApplyOutcome LiteralApply(std::string text);

}  // namespace oracle
