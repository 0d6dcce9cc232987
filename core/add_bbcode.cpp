// The adding transform: the script line before the closing head tag and a
// wrapper around every comment-text token (or around its paragraph).
#include "markers.h"
#include "skin_patch_core.h"
#include "token_wrapper.h"

namespace mk = orlimo::markers;

int32_t CSkinPatchCore::AddBBCode()
{
    int32_t count = 0;

    const int32_t head = FindTextNoCase(Text(), mk::kHeadClose, 0);
    if (head >= 0) {
        const bool atLineStart = head == 0 || m_pszText[static_cast<std::size_t>(head) - 1] == '\n';
        InsertText(atLineStart ? mk::kScriptLine : mk::kScriptLineOnNewLine, head);
        count = 1;
    }

    // The backward scan sees its own insertions; WrapCommentTokens gives the
    // same result in one sweep and builds the new text once.
    orlimo::WrappedText wrapped = orlimo::WrapCommentTokens(Text());
    if (wrapped.count > 0) {
        m_pszText = std::move(wrapped.text);
        m_nTextLen = wrapped.length;
    }
    return count + wrapped.count;
}
