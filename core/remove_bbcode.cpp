// The removing transform: eight phases, run in order over the text buffer.
//
//   1  script elements that load the script            copying
//   2  script elements calling BBDecode.UpdateBBCodeNow in place
//   3  script elements calling BBDecode.ResetTimer      in place
//   4  bare "BBDecode.ResetTimer();" statements         copying
//   5  div wrappers around the comment token            copying
//   6  textarea wrappers around the comment token       copying
//   7  div wrappers around the guest-book token         copying
//   8  textarea wrappers around the guest-book token    copying
//
// A copying phase searches the text as it was when the phase began, writes
// kept stretches and replacements to a work buffer and puts the result over
// the text in one step. A copying phase ends at the first occurrence that
// fails its tests; that occurrence and all text after it stay. An in-place
// phase closes the text up after each removal, so that its later searches see
// the text closed up (script_close_up.cpp does that in one sweep).
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "byte_compare.h"
#include "markers.h"
#include "script_close_up.h"
#include "skin_patch_core.h"
#include "uninitialized_bytes.h"

namespace mk = orlimo::markers;

namespace {

using Core = CSkinPatchCore;

// One piece to take out: text[first, end) gives way to `replacement`, which
// always lies inside the piece (so no phase makes the text longer). It counts
// as `count` pieces removed.
struct Piece {
    int32_t first;
    int32_t end;
    std::string_view replacement;
    int32_t count = 1;
};

// Appends to a block sized for the phase's input, allocated on the first
// append. No replacement is longer than its piece, so the block never fills;
// should that ever fail, it grows rather than overruns.
class PhaseOutput {
public:
    PhaseOutput(std::unique_ptr<char[]>& block, std::size_t& capacity, std::size_t expected)
        : m_block(block), m_capacity(capacity), m_expected(expected)
    {
    }
    void Append(std::string_view bytes)
    {
        if (bytes.empty()) return;
        Reserve(std::max(m_expected, m_size + bytes.size()));
        std::memcpy(m_block.get() + m_size, bytes.data(), bytes.size());
        m_size += bytes.size();
    }
    [[nodiscard]] std::size_t Size() const noexcept { return m_size; }

private:
    void Reserve(std::size_t bytes)  // plus room for a NUL
    {
        if (bytes + 1 <= m_capacity) return;
        const std::size_t capacity = std::max(bytes + 1, 2 * m_capacity);
        auto bigger = orlimo::NewUninitializedBytes(capacity);
        if (m_size > 0) std::memcpy(bigger.get(), m_block.get(), m_size);
        m_block = std::move(bigger);
        m_capacity = capacity;
    }

    std::unique_ptr<char[]>& m_block;
    std::size_t& m_capacity;
    std::size_t m_expected;
    std::size_t m_size = 0;
};

// Runs a copying phase over `text` into `out`. Returns the number of pieces
// removed; when that is 0, `out` holds nothing and the text stays as it is.
template <class NextPiece>
[[nodiscard]] int32_t RunCopyingPhase(std::string_view text, PhaseOutput& out, NextPiece nextPiece)
{
    const int32_t length = static_cast<int32_t>(text.size());
    int32_t removed = 0;
    int32_t s = 0;
    while (s < length) {
        const std::optional<Piece> piece = nextPiece(text, s);
        if (!piece) break;
        // A piece can begin inside the previous one (an end tag holding a
        // "<" before its ">"); then there is nothing between them to keep.
        if (piece->first > s) {
            out.Append(text.substr(static_cast<std::size_t>(s),
                                   static_cast<std::size_t>(piece->first - s)));
        }
        out.Append(piece->replacement);
        removed += piece->count;
        s = piece->end;
    }
    if (removed > 0 && s < length) out.Append(text.substr(static_cast<std::size_t>(s)));
    return removed;
}

[[nodiscard]] int32_t EndWithLineTail(std::string_view text, int32_t close) noexcept
{
    return close + Core::MeasureLineTail(text, close);
}

// Phase 1: the script element around `="./images/bbcode`.
[[nodiscard]] std::optional<Piece> NextScriptLoader(std::string_view text, int32_t s) noexcept
{
    const int32_t m = Core::FindText(text, mk::kScriptLoader, s);
    if (m < 0) return std::nullopt;
    const int32_t lastByte = m + static_cast<int32_t>(mk::kScriptLoader.size()) - 1;
    const int32_t close = Core::FindTagCloseFwd(text, mk::kScriptTag, lastByte);
    if (close < 0) return std::nullopt;
    const int32_t open = Core::FindTagOpenBack(text, mk::kScriptTag, m);
    if (open < 0) return std::nullopt;
    return Piece{open, EndWithLineTail(text, close), {}};
}

// Phase 4: the statement itself, wherever it stands.
[[nodiscard]] std::optional<Piece> NextResetStatement(std::string_view text, int32_t s) noexcept
{
    const int32_t m = Core::FindText(text, mk::kResetStatement, s);
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
    const int32_t m = Core::FindText(text, token, s);
    if (m < 0) return std::nullopt;
    const int32_t lastByte = m + static_cast<int32_t>(token.size()) - 1;

    // What the wrapper's tags must stand right outside of, and what stays.
    int32_t closeFrom = lastByte;
    int32_t openFrom = m;
    std::string_view kept = text.substr(static_cast<std::size_t>(m), token.size());
    if (paragraphInside) {
        const int32_t pclose = Core::FindTagCloseFwd(text, mk::kParagraphTag, lastByte);
        const int32_t popen = Core::FindTagOpenBack(text, mk::kParagraphTag, m);
        if (pclose >= 0 && popen >= 0) {
            closeFrom = pclose;
            openFrom = popen - 1;
            kept = text.substr(static_cast<std::size_t>(popen),
                               static_cast<std::size_t>(pclose - popen));
        }
    }

    const int32_t close = Core::FindTagCloseFwd(text, tag, closeFrom);
    if (close < 0) return std::nullopt;
    const int32_t open = Core::FindTagOpenBack(text, tag, openFrom);
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

}  // namespace

int32_t CSkinPatchCore::RemoveBBCode()
{
    // The work block: sized from the text (no phase makes the text longer)
    // and swapped with the text block after each copying phase that removed
    // something, so that a phase copies the text once at most.
    std::unique_ptr<char[]> work;
    std::size_t workCapacity = 0;
    std::size_t textCapacity = static_cast<std::size_t>(m_nTextLen) + 1;
    int32_t removed = 0;

    const auto copying = [&](auto nextPiece) {
        PhaseOutput out(work, workCapacity, static_cast<std::size_t>(m_nTextLen));
        const int32_t pieces = RunCopyingPhase(Text(), out, nextPiece);
        if (pieces == 0) return;
        removed += pieces;
        m_nTextLen = static_cast<int32_t>(out.Size());
        if (out.Size() == 0) {  // nothing appended, perhaps nothing allocated
            m_pszText[0] = '\0';
            return;
        }
        work[out.Size()] = '\0';
        m_pszText.swap(work);
        std::swap(textCapacity, workCapacity);
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
    copying(NextScriptLoader);
    if (present(mk::kCallPrefix)) {
        removed += RemoveScriptElementsInPlace(mk::kUpdateCall);
        removed += RemoveScriptElementsInPlace(mk::kResetCall);
        copying(NextResetStatement);
    }
    if (present(mk::kCommentToken)) {
        copying(divPhase(mk::kCommentToken));
        copying(textareaPhase(mk::kCommentToken));
    }
    if (present(mk::kGuestToken)) {
        copying(divPhase(mk::kGuestToken));
        copying(textareaPhase(mk::kGuestToken));
    }

    m_pszText[static_cast<std::size_t>(m_nTextLen)] = '\0';
    return removed;
}

// Phases 2 and 3: the script element around each occurrence of `call`. An
// occurrence outside such an element stays and the search goes on after it.
int32_t CSkinPatchCore::RemoveScriptElementsInPlace(std::string_view call)
{
    return orlimo::CloseUpScriptElements(m_pszText.get(), m_nTextLen, call);
}
