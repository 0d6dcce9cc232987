// The removing transform: eight phases, run in order over the text buffer.
//
//   1  script elements that load the script            as found
//   2  script elements calling BBDecode.UpdateBBCodeNow closed up
//   3  script elements calling BBDecode.ResetTimer      closed up
//   4  bare "BBDecode.ResetTimer();" statements         as found
//   5  div wrappers around the comment token            as found
//   6  textarea wrappers around the comment token       as found
//   7  div wrappers around the guest-book token         as found
//   8  textarea wrappers around the guest-book token    as found
//
// In a phase "as found", every search sees the text as it was when the phase
// began, and the phase ends at the first occurrence that fails its tests;
// that occurrence and all text after it stay. In a phase "closed up", each
// removal closes the text up at once, so that its later searches see the
// text closed up (script_close_up.cpp does that in one sweep).
//
// Both kinds work inside the text's block. A phase "as found" writes what it
// keeps from the front of the block while its searches go on reading the
// bytes at and after the write position, which are still as found: each
// replacement lies inside its piece, at or after the write position, and a
// later backward search stops at the "<" of the previous piece's end tag at
// the latest, which the write position never passes. (A later piece may
// begin inside the previous one, after that "<"; the nested-wrapper test
// looks further back only where that "<" makes it fail in either text.)
#include <cassert>
#include <cstring>
#include <optional>
#include <string>

#include "byte_compare.h"
#include "byte_scan.h"
#include "markers.h"
#include "script_close_up.h"
#include "skin_patch_core.h"
#include "text_search.h"

namespace mk = orlimo::markers;
using orlimo::FindTagCloseFwd;
using orlimo::FindTagOpenBack;
using orlimo::FindText;

namespace {

// One piece to take out: text[first, end) gives way to `replacement`, a
// stretch of the text inside the piece. It counts as `count` pieces removed.
struct Piece {
    int32_t first;
    int32_t end;
    std::string_view replacement;
    int32_t count = 1;
};

// Runs a phase "as found" over text[0, length) in place. Returns the number
// of pieces removed and sets `length`, with a NUL there; when none is, the
// text stays as it is.
template <class NextPiece>
[[nodiscard]] int32_t RunPhaseAsFound(char* text, int32_t& length, NextPiece nextPiece)
{
    const std::string_view found(text, static_cast<std::size_t>(length));
    int32_t removed = 0;
    int32_t s = 0;  // the search start
    int32_t w = 0;  // the write position, never past s
    const auto keep = [&](int32_t from, int32_t to) {
        assert(w <= from && from <= to);
        if (w != from) std::memmove(text + w, text + from, static_cast<std::size_t>(to - from));
        w += to - from;
    };
    while (s < length) {
        const std::optional<Piece> piece = nextPiece(found, s);
        if (!piece) break;
        // A piece can begin inside the previous one (an end tag holding a
        // "<" before its ">"); then there is nothing between them to keep.
        if (piece->first > s) keep(s, piece->first);
        if (!piece->replacement.empty()) {
            const int32_t at = static_cast<int32_t>(piece->replacement.data() - text);
            keep(at, at + static_cast<int32_t>(piece->replacement.size()));
        }
        removed += piece->count;
        s = piece->end;
    }
    if (removed == 0) return 0;
    keep(s, length);
    length = w;
    text[length] = '\0';
    return removed;
}

[[nodiscard]] int32_t EndWithLineTail(std::string_view text, int32_t close) noexcept
{
    return close + orlimo::MeasureLineTail(text, close);
}

// Phase 1: the script element around `="./images/bbcode`.
[[nodiscard]] std::optional<Piece> NextScriptLoader(std::string_view text, int32_t s) noexcept
{
    const int32_t m = FindText(text, mk::kScriptLoader, s);
    if (m < 0) return std::nullopt;
    const int32_t lastByte = m + static_cast<int32_t>(mk::kScriptLoader.size()) - 1;
    const int32_t close = FindTagCloseFwd(text, mk::kScriptTag, lastByte);
    if (close < 0) return std::nullopt;
    const int32_t open = FindTagOpenBack(text, mk::kScriptTag, m);
    if (open < 0) return std::nullopt;
    return Piece{open, EndWithLineTail(text, close), {}};
}

// Phase 4: the statement itself, wherever it stands.
[[nodiscard]] std::optional<Piece> NextResetStatement(std::string_view text, int32_t s) noexcept
{
    const int32_t m = FindText(text, mk::kResetStatement, s);
    if (m < 0) return std::nullopt;
    return Piece{
        m, EndWithLineTail(text, m + static_cast<int32_t>(mk::kResetStatement.size())), {}};
}

// The class marker must lie wholly in text[from, token - 1): at least one
// byte stands between its closing quote and the token.
[[nodiscard]] bool HasClassMarker(std::string_view text, int32_t from, int32_t token) noexcept
{
    const int32_t lastCandidate = token - 1 - static_cast<int32_t>(mk::kClassMarker.size());
    for (int32_t c = from; c <= lastCandidate; ++c) {
        if (orlimo::EqualsNoCaseAt(text, c, mk::kClassMarker)) return true;
    }
    return false;
}

// Phases 5 to 8: a wrapper element `tag` carrying the class marker, directly
// around the token or (in the div phases, `paragraphInside`) around the p
// element that directly encloses it, and in the div phases every further
// layer of Add's own wrapper bytes right around that. The token comes back
// bare, or with its p element exactly as it stood.
[[nodiscard]] std::optional<Piece> NextWrapper(std::string_view text, int32_t s,
                                               std::string_view token, std::string_view tag,
                                               bool paragraphInside) noexcept
{
    const int32_t m = FindText(text, token, s);
    if (m < 0) return std::nullopt;
    const int32_t lastByte = m + static_cast<int32_t>(token.size()) - 1;

    // What the wrapper's tags must stand right outside of, and what stays.
    int32_t closeFrom = lastByte;
    int32_t openFrom = m;
    std::string_view kept = text.substr(static_cast<std::size_t>(m), token.size());
    if (paragraphInside) {
        const int32_t pclose = FindTagCloseFwd(text, mk::kParagraphTag, lastByte);
        const int32_t popen = FindTagOpenBack(text, mk::kParagraphTag, m);
        if (pclose >= 0 && popen >= 0) {
            closeFrom = pclose;
            openFrom = popen - 1;
            kept = text.substr(static_cast<std::size_t>(popen),
                               static_cast<std::size_t>(pclose - popen));
        }
    }

    const int32_t close = FindTagCloseFwd(text, tag, closeFrom);
    if (close < 0) return std::nullopt;
    const int32_t open = FindTagOpenBack(text, tag, openFrom);
    if (open < 0) return std::nullopt;
    const int32_t afterName = open + 1 + static_cast<int32_t>(tag.size());
    if (!HasClassMarker(text, afterName, m)) return std::nullopt;
    if (!paragraphInside) return Piece{open, EndWithLineTail(text, close), kept};

    // Nested layers (an older run wrapped a paragraph once per token) go in
    // the same run; the line tail is measured after the outermost.
    Piece piece{open, close, kept};
    const int32_t openLength = static_cast<int32_t>(mk::kWrapOpen.size());
    while (orlimo::EqualsAt(text, piece.first - openLength, mk::kWrapOpen) &&
           orlimo::EqualsAt(text, piece.end, mk::kWrapClose)) {
        piece.first -= openLength;
        piece.end += static_cast<int32_t>(mk::kWrapClose.size());
        ++piece.count;
    }
    piece.end = EndWithLineTail(text, piece.end);
    return piece;
}

// Which of the two tokens the text holds, from one pass over the places of
// their common start.
struct TokensHeld {
    bool comment = false;
    bool guest = false;
};

[[nodiscard]] TokensHeld FindTokens(std::string_view text) noexcept
{
    TokensHeld held;
    const auto size = static_cast<int32_t>(text.size());
    for (int32_t p = orlimo::FindFirstByte(text.data(), 0, size, mk::kTokenStart[0]);
         p >= 0 && !(held.comment && held.guest);
         p = orlimo::FindFirstByte(text.data(), p + 1, size, mk::kTokenStart[0])) {
        held.comment = held.comment || orlimo::EqualsAt(text, p, mk::kCommentToken);
        held.guest = held.guest || orlimo::EqualsAt(text, p, mk::kGuestToken);
    }
    return held;
}

}  // namespace

int32_t CSkinPatchCore::RemoveBBCode()
{
    int32_t removed = 0;
    const auto asFound = [this, &removed](auto nextPiece) {
        removed += RunPhaseAsFound(m_pszText.get(), m_nTextLen, nextPiece);
    };
    const auto divPhase = [](std::string_view token) {
        return [token](std::string_view text, int32_t s) {
            return NextWrapper(text, s, token, mk::kDivTag, true);
        };
    };
    const auto textareaPhase = [](std::string_view token) {
        return [token](std::string_view text, int32_t s) {
            return NextWrapper(text, s, token, mk::kTextareaTag, false);
        };
    };

    // The phases of each group below find nothing, and so change nothing,
    // when the text lacks what all their needles hold: one search decides.
    const auto present = [this](std::string_view needle) {
        return FindText(Text(), needle, 0) >= 0;
    };
    asFound(NextScriptLoader);
    if (present(mk::kCallPrefix)) {
        removed += orlimo::CloseUpScriptElements(m_pszText.get(), m_nTextLen, mk::kUpdateCall);
        removed += orlimo::CloseUpScriptElements(m_pszText.get(), m_nTextLen, mk::kResetCall);
        asFound(NextResetStatement);
    }
    // Taking the comment token's wrappers out makes no guest-book token: what
    // stays of a piece is the comment token or its p element, and a token
    // across either end of that would hold a "[", "<" or ">" past its first
    // byte. So one pass decides for both tokens.
    const TokensHeld held = FindTokens(Text());
    if (held.comment) {
        asFound(divPhase(mk::kCommentToken));
        asFound(textareaPhase(mk::kCommentToken));
    }
    if (held.guest) {
        asFound(divPhase(mk::kGuestToken));
        asFound(textareaPhase(mk::kGuestToken));
    }
    return removed;
}
