// The adding transform in one backward sweep: the script line and the wrappers.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace orlimo {

struct WrappedText {
    std::unique_ptr<char[]> text;  // NUL-terminated; null when nothing was added
    int32_t length = 0;
    int32_t count = 0;  // tokens wrapped
};

// Puts `line` into `text` in front of byte `lineGap` (unless that is -1),
// then wraps every comment-text token (or its paragraph) exactly as the
// backward scan of the adding transform does when every insertion is made
// into the whole text at once: same bytes, same count. The byte at `lineGap`
// must be the "<" of "</head". Linear in the length of the text; builds the
// new text once. Throws std::bad_alloc.
[[nodiscard]] WrappedText AddMarkup(std::string_view text, int32_t lineGap, std::string_view line);

}  // namespace orlimo
