// The adding transform: the script line in front of the first "</head",
// then a wrapper around every comment-text token (or around its paragraph),
// put in by a scan that runs backwards from near the end of the text.
//
// As the transform is defined, that scan inserts "</div>" and
// "<div class="bbcode">" into the text it is still scanning, and its later
// searches see those insertions and the script line. Instead of splicing,
// this sweep records each insertion against the gap of the input where it
// lands and answers every search from the input and those records; the
// output is assembled once at the end. Same bytes, same count, linear time.
//
// Facts about the scan that the sweep relies on (the differential tests
// check them against the literal method):
// - A token holds no "<", ">" or "[" past its first byte, and no inserted
//   string holds a "[" or opens a "p" end tag at its first "<", so
//   a token found in the changing text is a token of the input, and an
//   inserted string before or after it fails the tag tests that look at it.
// - The script line goes in front of an input "<" that opens no "p" tag, so
//   for a token above it the nearest "<" before the token is of the input,
//   and a token below it only searches forward, where the line is met as
//   the first string of its gap. So the line joins the records once the
//   scan is below it. A closing wrapper after a paragraph's end tag may land
//   inside the line, after its first ">", as it lands after the ">" that
//   ends a wrapper.
// - A paragraph is wrapped once: a later token whose nearest tag before it
//   is the start tag of the paragraph just wrapped adds nothing. (The scan
//   position, not corrected after the insertion below it, skips 20 bytes of
//   that same paragraph, or the wrapper put before it; that changes nothing.)
// - Below the scan position the only insertions are the script line, until
//   the scan passes it, and the opening wrapper put in front of one
//   paragraph's start tag (the "pending" gap); every other insertion lies
//   above it, in gaps that come into being in falling order.
#include <algorithm>
#include <cassert>
#include <cstring>
#include <deque>

#include "byte_compare.h"
#include "byte_scan.h"
#include "markers.h"
#include "skin_patch_core.h"
#include "text_search.h"
#include "uninitialized_bytes.h"

namespace mk = orlimo::markers;

namespace orlimo {
namespace {

// The scan starts this far before the end of the text (the script line
// counted), not the 22 bytes of the longer token: that is the transform's
// definition, which Apply keeps byte for byte (the literal method in
// tests/oracle and the tests' worked examples hold it to it). So a token
// that begins in the last 32 bytes is never wrapped; a real skin ends with
// its page's closing tags, far more than 32 bytes after its last token.
constexpr int32_t kScanOffset = 33;
constexpr int32_t kOpenLength = static_cast<int32_t>(mk::kWrapOpen.size());    // 20
constexpr int32_t kCloseLength = static_cast<int32_t>(mk::kWrapClose.size());  // 6
// A token holds no "[" past its first byte: none starts in the 18 bytes
// below a "[" that starts none.
constexpr int32_t kShorterToken = static_cast<int32_t>(mk::kCommentToken.size());  // 19
// LowestGap() while there is none: above every position.
constexpr int32_t kNoGap = INT32_MAX;

// The new text, NUL-terminated.
struct WrappedText {
    std::unique_ptr<char[]> text;
    int32_t length;
};

// What went into one gap of the input (before the input byte of the same
// index), in text order: closing wrappers, then optionally a first string
// (an opening wrapper, or the script line) with closing wrappers right after
// its first ">". Closing wrappers go to the front or right after the first
// string's first ">", and the first string comes first into its gap or not
// at all, so these counts always describe the gap.
struct GapInsertions {
    enum First : int8_t { kNoFirst, kOpen, kScriptLine };
    int32_t gap;
    int32_t leadingCloses = 0;
    First first = kNoFirst;
    int32_t closesInFirst = 0;

    void AddCloseAfterFirstString() noexcept
    {
        if (leadingCloses > 0) {
            ++leadingCloses;
        } else {
            ++closesInFirst;
        }
    }
};

// Where the closing wrapper of a paragraph goes.
struct CloseSpot {
    enum Kind { kNoSpot, kFrontOfGap, kAfterFirstStringOfLowestGap } kind = kNoSpot;
    int32_t gap = 0;
};

// The scan over `text`, with `line` going in front of byte `lineGap` (the
// "<" of "</head"), or with no line when lineGap is negative.
class Sweep {
public:
    Sweep(std::string_view text, int32_t lineGap, std::string_view line)
        : m_text(text),
          m_size(static_cast<int32_t>(text.size())),
          m_lineGap(lineGap),
          m_line(line),
          m_prevLt(text, '<'),
          m_nextLt(text, '<'),
          m_nextGt(text, '>')
    {
    }

    // Runs the scan; returns the number of tokens wrapped.
    [[nodiscard]] int32_t Run();
    // The input with every recorded insertion made.
    [[nodiscard]] WrappedText Assemble() const;

private:
    // The script line's gap joins the others once the scan is below it.
    void AddScriptLineAbove(int32_t x);
    [[nodiscard]] int32_t TokenLengthAt(int32_t x) const noexcept;
    [[nodiscard]] int32_t LowestGap() const noexcept
    {
        return m_gaps.empty() ? kNoGap : m_gaps.back().gap;
    }
    [[nodiscard]] CloseSpot FindParagraphClose(int32_t afterToken) noexcept;
    void InsertClose(const CloseSpot& spot);
    void InsertCloseAtFrontOf(int32_t gap);
    void SettlePending();

    std::string_view m_text;
    int32_t m_size;
    int32_t m_lineGap;  // where the script line goes; -1 when there is none or once recorded
    std::string_view m_line;
    LastByteFinder m_prevLt;
    FirstByteFinder m_nextLt;
    FirstByteFinder m_nextGt;
    // Gaps with insertions above the scan position, highest gap first. A
    // deque grows without copying, so it never holds two copies at once.
    std::deque<GapInsertions> m_gaps;
    // The start tag of the paragraph wrapped last, while the scan is above
    // it: the gap below the scan position holding its opening wrapper, or -1.
    int32_t m_pendingGap = -1;
};

int32_t Sweep::TokenLengthAt(int32_t x) const noexcept
{
    if (EqualsAt(m_text, x, mk::kCommentToken))
        return static_cast<int32_t>(mk::kCommentToken.size());
    if (EqualsAt(m_text, x, mk::kGuestToken)) return static_cast<int32_t>(mk::kGuestToken.size());
    return 0;
}

// The first tag after the token must be a "p" end tag: its "<" and the two
// bytes after it must be input bytes with no insertion between them, and
// the ">" that ends it may be an input byte or the first ">" of the first
// string inserted after the name.
CloseSpot Sweep::FindParagraphClose(int32_t afterToken) noexcept
{
    const int32_t lowest = LowestGap();
    assert(lowest >= afterToken);
    // An inserted string at or before the first input "<" puts its own "<"
    // first, and that opens no "p" end tag.
    const int32_t lt = m_nextLt.AtOrAfter(afterToken);
    if (lt < 0 || lt >= lowest) return {};
    // The "<" must leave room for "/p>" in the whole changed text. (A script
    // line below the token makes room too, but then no ">" follows.)
    if (m_size - 1 - lt < 3 && lowest == kNoGap) return {};
    if (lowest <= lt + 2 || lt + 2 >= m_size) return {};
    if (m_text[static_cast<std::size_t>(lt) + 1] != '/' ||
        FoldAscii(static_cast<unsigned char>(m_text[static_cast<std::size_t>(lt) + 2])) != 'p') {
        return {};
    }
    const int32_t gt = m_nextGt.AtOrAfter(lt + 3);
    if (lowest != kNoGap && (gt < 0 || lowest <= gt)) {
        return {CloseSpot::kAfterFirstStringOfLowestGap, lowest};
    }
    if (gt < 0) return {};
    return {CloseSpot::kFrontOfGap, gt + 1};
}

void Sweep::InsertCloseAtFrontOf(int32_t gap)
{
    assert(gap <= LowestGap());
    if (gap == LowestGap()) {
        ++m_gaps.back().leadingCloses;
    } else {
        m_gaps.push_back({gap, 1});
    }
}

void Sweep::InsertClose(const CloseSpot& spot)
{
    if (spot.kind == CloseSpot::kAfterFirstStringOfLowestGap) {
        m_gaps.back().AddCloseAfterFirstString();
    } else {
        InsertCloseAtFrontOf(spot.gap);
    }
}

// The scan has passed below the pending gap: it joins the others.
void Sweep::SettlePending()
{
    if (m_pendingGap < 0) return;
    assert(m_pendingGap < LowestGap());
    m_gaps.push_back({m_pendingGap, 0, GapInsertions::kOpen});
    m_pendingGap = -1;
}

void Sweep::AddScriptLineAbove(int32_t x)
{
    if (m_lineGap <= x) return;
    assert(m_pendingGap < 0 && m_lineGap < LowestGap());
    m_gaps.push_back({m_lineGap, 0, GapInsertions::kScriptLine});
    m_lineGap = -1;
}

int32_t Sweep::Run()
{
    int32_t count = 0;
    // The scan position, on an input byte. The script line counts towards the
    // offset; where the scan would start inside it, it starts right below it.
    int32_t x = m_size - kScanOffset;
    if (m_lineGap >= 0) x = std::max(x, m_lineGap - 1);
    while (x >= 0) {
        // Find the next token at or below x; the input bytes down to the
        // pending gap are all the scan meets before that gap's wrappers.
        const int32_t floor = m_pendingGap >= 0 ? m_pendingGap : 0;
        int32_t t = 0;
        while (x >= floor) {
            x = FindLastByte(m_text.data(), floor, x + 1, '[');
            if (x < 0) break;
            if (EqualsAt(m_text, x, mk::kTokenStart) && (t = TokenLengthAt(x)) > 0) break;
            x -= kShorterToken;  // a token below would hold this "[" past its first byte
        }
        if (t == 0) {  // down through the pending wrappers, below the gap
            if (m_pendingGap < 0) break;
            x = m_pendingGap - 1;
            SettlePending();
            continue;
        }
        AddScriptLineAbove(x);
        assert(LowestGap() >= x + t);

        const int32_t lt = m_prevLt.AtOrBefore(x - 1);
        const bool paragraphStart =
            lt >= 0 &&
            FoldAscii(static_cast<unsigned char>(m_text[static_cast<std::size_t>(lt) + 1])) == 'p';
        const CloseSpot close = paragraphStart ? FindParagraphClose(x + t) : CloseSpot{};
        if (close.kind != CloseSpot::kNoSpot && lt == m_pendingGap) {
            --x;  // its paragraph is wrapped already
            continue;
        }
        ++count;
        if (close.kind != CloseSpot::kNoSpot) {
            // Around the paragraph: the opening wrapper goes in front of the
            // start tag, below the scan position.
            InsertClose(close);
            assert(m_pendingGap < 0);
            m_pendingGap = lt;
            --x;
        } else {
            InsertCloseAtFrontOf(x + t);
            m_gaps.push_back({x, 0, GapInsertions::kOpen});
            --x;
        }
    }
    assert(m_pendingGap < 0);  // every path out of the loop settles it first
    AddScriptLineAbove(-1);
    return count;
}

WrappedText Sweep::Assemble() const
{
    int64_t length = m_size;
    for (const GapInsertions& g : m_gaps) {
        length += kCloseLength * (g.leadingCloses + g.closesInFirst);
        if (g.first == GapInsertions::kOpen) length += kOpenLength;
    }
    if (!m_line.empty()) length += static_cast<int64_t>(m_line.size());
    WrappedText out{orlimo::NewUninitializedBytes(static_cast<std::size_t>(length) + 1),
                    static_cast<int32_t>(length)};

    char* w = out.text.get();
    auto put = [&w](std::string_view bytes, int32_t times) {
        for (int32_t k = 0; k < times; ++k) {
            std::memcpy(w, bytes.data(), bytes.size());
            w += bytes.size();
        }
    };
    int32_t copied = 0;
    for (auto g = m_gaps.rbegin(); g != m_gaps.rend(); ++g) {
        std::memcpy(w, m_text.data() + copied, static_cast<std::size_t>(g->gap - copied));
        w += g->gap - copied;
        copied = g->gap;
        put(mk::kWrapClose, g->leadingCloses);
        if (g->first == GapInsertions::kOpen) {
            put(mk::kWrapOpen, 1);  // its first ">" is its last byte
            put(mk::kWrapClose, g->closesInFirst);
        } else if (g->first == GapInsertions::kScriptLine) {
            const std::size_t split = m_line.find('>') + 1;
            put(m_line.substr(0, split), 1);
            put(mk::kWrapClose, g->closesInFirst);
            put(m_line.substr(split), 1);
        }
    }
    std::memcpy(w, m_text.data() + copied, static_cast<std::size_t>(m_size - copied));
    w += m_size - copied;
    *w = '\0';
    assert(w - out.text.get() == length);
    return out;
}

}  // namespace
}  // namespace orlimo

int32_t CSkinPatchCore::AddBBCode()
{
    const int32_t head = orlimo::FindTextNoCase(Text(), mk::kHeadClose, 0);
    std::string_view line;
    if (head >= 0) {
        const bool atLineStart = head == 0 || m_pszText[static_cast<std::size_t>(head) - 1] == '\n';
        line = atLineStart ? mk::kScriptLine : mk::kScriptLineOnNewLine;
    }
    orlimo::Sweep sweep(Text(), head, line);
    const int32_t count = sweep.Run();
    if (count == 0 && head < 0) return 0;  // nothing to add: the text stays as it is
    orlimo::WrappedText added = sweep.Assemble();
    m_pszText = std::move(added.text);
    m_nTextLen = added.length;
    return (head >= 0 ? 1 : 0) + count;
}
