// The wrapper pass of the adding transform in one backward sweep.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace orlimo {

struct WrappedText {
    std::unique_ptr<char[]> text;  // NUL-terminated; null when nothing was wrapped
    int32_t length = 0;
    int32_t count = 0;  // tokens wrapped
};

// Wraps every comment-text token of `text` (or its paragraph) exactly as the
// backward scan of the adding transform does when every insertion is made
// into the whole text at once: same bytes, same count. Linear in the length
// of the text. Throws std::bad_alloc.
[[nodiscard]] WrappedText WrapCommentTokens(std::string_view text);

}  // namespace orlimo
