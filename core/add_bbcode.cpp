// The adding transform: the script line before the closing head tag and a
// wrapper around every comment-text token (or around its paragraph).
#include "markers.h"
#include "skin_patch_core.h"
#include "token_wrapper.h"

namespace mk = orlimo::markers;

int32_t CSkinPatchCore::AddBBCode()
{
    const int32_t head = FindTextNoCase(Text(), mk::kHeadClose, 0);
    std::string_view line;
    if (head >= 0) {
        const bool atLineStart = head == 0 || m_pszText[static_cast<std::size_t>(head) - 1] == '\n';
        line = atLineStart ? mk::kScriptLine : mk::kScriptLineOnNewLine;
    }

    // The backward scan sees the script line and its own insertions;
    // AddMarkup gives the same result in one sweep and builds the new text once.
    orlimo::WrappedText added = orlimo::AddMarkup(Text(), head, line);
    if (added.text) {
        m_pszText = std::move(added.text);
        m_nTextLen = added.length;
    }
    return (head >= 0 ? 1 : 0) + added.count;
}
