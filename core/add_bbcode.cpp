// The adding transform: the script line before the closing head tag and a
// wrapper around every comment-text token (or around its paragraph).
#include "byte_compare.h"
#include "markers.h"
#include "skin_patch_core.h"

namespace mk = orlimo::markers;

namespace {

// The scan starts this many bytes before the end of the text, so a token
// needs at least 33 - its length bytes after it to be wrapped.
constexpr int32_t kTokenScanOffset = 33;

// Length of the token that begins at p, or 0 when none does.
[[nodiscard]] int32_t TokenLengthAt(std::string_view text, int32_t p) noexcept
{
    if (!orlimo::EqualsAt(text, p, mk::kTokenStart)) return 0;
    if (orlimo::EqualsAt(text, p, mk::kCommentToken)) return int32_t{mk::kCommentToken.size()};
    if (orlimo::EqualsAt(text, p, mk::kGuestToken)) return int32_t{mk::kGuestToken.size()};
    return 0;
}

}  // namespace

int32_t CSkinPatchCore::AddBBCode()
{
    int32_t count = 0;

    const int32_t head = FindTextNoCase(Text(), mk::kHeadClose, 0);
    if (head >= 0) {
        const bool atLineStart = head == 0 || m_pszText[static_cast<std::size_t>(head) - 1] == '\n';
        InsertText(atLineStart ? mk::kScriptLine : mk::kScriptLineOnNewLine, head);
        count = 1;
    }

    // Backwards, so that the insertions for one token leave the text still
    // to be scanned where it was. The position is not corrected after an
    // insertion: when the wrapper went in before the paragraph, the scan next
    // meets the moved bytes of that paragraph (or the wrapper itself).
    for (int32_t i = m_nTextLen - kTokenScanOffset; i >= 0; --i) {
        const int32_t tokenLength = TokenLengthAt(Text(), i);
        if (tokenLength == 0) continue;

        const int32_t open = FindTagOpenBack(Text(), mk::kParagraphTag, i + tokenLength - 1);
        const int32_t close = FindTagCloseFwd(Text(), mk::kParagraphTag, i);
        // The higher position first, so that the lower one stays valid.
        if (open >= 0 && close >= 0) {
            InsertText(mk::kWrapClose, close);
            InsertText(mk::kWrapOpen, open);
        } else {
            InsertText(mk::kWrapClose, i + tokenLength);
            InsertText(mk::kWrapOpen, i);
        }
        ++count;
    }
    return count;
}
