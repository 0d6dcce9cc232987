// The text is kept as a gap buffer: the closed-up output so far at the front
// of the block, the rest of the input at its back, and between them the
// bytes already removed or moved. A search forward from the search start
// sees only the rest of the input, which is the block itself; the backward
// start-tag search may reach past the gap into the output. Each byte of the
// input moves at most once, and every scan is remembered, so the sweep is
// linear however many pieces it removes.
#include "script_close_up.h"

#include <cassert>
#include <vector>

#include "byte_compare.h"
#include "byte_scan.h"
#include "markers.h"
#include "text_search.h"

namespace mk = orlimo::markers;

namespace orlimo {
namespace {

// The last "<" of the output, text[0, end), remembered across growth and
// truncation. Each entry says: the last "<" of text[0, upTo) is lastLt.
class OutputTagStarts {
public:
    [[nodiscard]] int32_t Last(const char* text, int32_t end)
    {
        const Entry top = m_entries.empty() ? Entry{0, kNotFound} : m_entries.back();
        assert(top.upTo <= end);
        if (top.upTo == end) return top.lastLt;
        const int32_t found = FindLastByte(text, top.upTo, end, '<');
        if (found >= 0 || m_entries.empty()) {
            m_entries.push_back({end, found >= 0 ? found : top.lastLt});
        } else {
            m_entries.back().upTo = end;
        }
        return m_entries.back().lastLt;
    }
    // The output now ends at `end`, the last "<" that Last() gave.
    void Truncate(int32_t end)
    {
        while (!m_entries.empty() && m_entries.back().upTo > end) m_entries.pop_back();
    }

private:
    struct Entry {
        int32_t upTo;
        int32_t lastLt;
    };
    std::vector<Entry> m_entries;
};

class ScriptSweep {
public:
    ScriptSweep(char* text, int32_t length, std::string_view call)
        : m_text(text),
          m_size(length),
          m_call(call),
          m_input(text, static_cast<std::size_t>(length)),
          m_nextLt(m_input, '<'),
          m_nextGt(m_input, '>'),
          m_prevLt(m_input, '<')
    {
    }

    [[nodiscard]] int32_t Run();
    [[nodiscard]] int32_t FinalLength() const noexcept { return m_outEnd + (m_size - m_inStart); }

private:
    // Byte of the closed-up text at position p (0 <= p < its length).
    [[nodiscard]] char At(int32_t p) const noexcept
    {
        return p < m_outEnd ? m_text[p] : m_text[p - m_outEnd + m_inStart];
    }
    [[nodiscard]] bool ScriptNameAt(int32_t p) const noexcept;
    [[nodiscard]] int32_t CloseTagEnd(int32_t from) noexcept;
    [[nodiscard]] int32_t OpenTagStart(int32_t needle);
    void RemoveSpan(int32_t first, int32_t inputEnd);

    char* m_text;
    int32_t m_size;  // input length
    std::string_view m_call;
    std::string_view m_input;
    FirstByteFinder m_nextLt;
    FirstByteFinder m_nextGt;
    LastByteFinder m_prevLt;
    OutputTagStarts m_outputLt;
    int32_t m_outEnd = 0;   // the output is m_text[0, m_outEnd)
    int32_t m_inStart = 0;  // the rest of the input is m_text[m_inStart, m_size)
};

// "script" (any case) at position p of the closed-up text.
bool ScriptSweep::ScriptNameAt(int32_t p) const noexcept
{
    const int32_t n = static_cast<int32_t>(mk::kScriptTag.size());
    // Only the name after a "<" found before the call is asked for, and the
    // call follows it.
    assert(p > 0 && p + n <= FinalLength());
    for (int32_t k = 0; k < n; ++k) {
        if (FoldAscii(static_cast<unsigned char>(At(p + k))) !=
            static_cast<unsigned char>(mk::kScriptTag[static_cast<std::size_t>(k)])) {
            return false;
        }
    }
    return true;
}

// As FindTagCloseFwd for "script" from input position `from`: the closed-up
// text from there on is the input itself, so input positions serve.
int32_t ScriptSweep::CloseTagEnd(int32_t from) noexcept
{
    const int32_t n = static_cast<int32_t>(mk::kScriptTag.size());
    const int32_t lt = m_nextLt.AtOrAfter(from);
    if (lt < 0 || lt > m_size - n - 3) return kNotFound;
    if (m_text[lt + 1] != '/' || !EqualsNoCaseAt(m_input, lt + 2, mk::kScriptTag)) return kNotFound;
    const int32_t gt = m_nextGt.AtOrAfter(lt + n + 2);
    return gt < 0 ? kNotFound : gt + 1;
}

// As FindTagOpenBack for "script" from the needle at input position
// `needle`; the result is a position in the closed-up text.
int32_t ScriptSweep::OpenTagStart(int32_t needle)
{
    const int32_t lt = m_prevLt.AtOrBefore(needle);
    int32_t open;
    if (lt >= m_inStart) {
        open = m_outEnd + (lt - m_inStart);
    } else {  // none left in the input before the needle: the output's last
        open = m_outputLt.Last(m_text, m_outEnd);
    }
    return open >= 0 && ScriptNameAt(open + 1) ? open : kNotFound;
}

// Closes up the closed-up text from `first` to the input position `inputEnd`.
void ScriptSweep::RemoveSpan(int32_t first, int32_t inputEnd)
{
    if (first >= m_outEnd) {  // the kept stretch joins the output
        const int32_t kept = first - m_outEnd;
        std::memmove(m_text + m_outEnd, m_text + m_inStart, static_cast<std::size_t>(kept));
        m_outEnd = first;
    } else {  // the piece begins inside the output
        m_outEnd = first;
        m_outputLt.Truncate(first);
    }
    m_inStart = inputEnd;
}

int32_t ScriptSweep::Run()
{
    const int32_t n = static_cast<int32_t>(m_call.size());
    int32_t removed = 0;
    int32_t s = 0;  // search start, an input position (never inside the gap)
    while (s < m_size) {
        const int32_t m = FindText(m_input, m_call, s);
        if (m < 0) break;
        const int32_t close = CloseTagEnd(m + n - 1);
        const int32_t open = close < 0 ? kNotFound : OpenTagStart(m);
        if (open < 0) {
            s = m + n;
            continue;
        }
        const int32_t end = close + MeasureLineTail(m_input, close);
        RemoveSpan(open, end);
        ++removed;
        s = end;
    }
    std::memmove(m_text + m_outEnd, m_text + m_inStart,
                 static_cast<std::size_t>(m_size - m_inStart));
    return removed;
}

}  // namespace

int32_t CloseUpScriptElements(char* text, int32_t& length, std::string_view call)
{
    ScriptSweep sweep(text, length, call);
    const int32_t removed = sweep.Run();
    length = sweep.FinalLength();
    text[length] = '\0';
    return removed;
}

}  // namespace orlimo
