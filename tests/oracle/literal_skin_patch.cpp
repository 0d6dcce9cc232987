#include "literal_skin_patch.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "skin_patch_core.h"

namespace oracle {
namespace {

using Core = CSkinPatchCore;
using I = int32_t;

const std::string_view kComment = "[##_rp_rep_desc_##]";
const std::string_view kGuest = "[##_guest_rep_desc_##]";
const std::string_view kOpenWrap = "<div class=\"bbcode\">";
const std::string_view kCloseWrap = "</div>";

I Len(std::string_view s)
{
    return static_cast<I>(s.size());
}

bool EqualAt(std::string_view text, I p, std::string_view s)
{
    return p >= 0 && p + Len(s) <= Len(text) && text.substr(static_cast<size_t>(p), s.size()) == s;
}

bool EqualNoCaseAt(std::string_view text, I p, std::string_view s)
{
    if (p < 0 || p + Len(s) > Len(text)) return false;
    for (I k = 0; k < Len(s); ++k) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (fold(text[static_cast<size_t>(p + k)]) != fold(s[static_cast<size_t>(k)])) return false;
    }
    return true;
}

I AfterTail(std::string_view text, I at)
{
    return at + Core::MeasureLineTail(text, at);
}

std::string Slice(std::string_view text, I from, I to)
{
    return std::string(text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
}

// One piece of a copying phase: text[first, end) gives way to `put`; it
// counts as `layers` pieces removed.
struct Piece {
    I first;
    I end;
    std::string put;
    I layers = 1;
};
using Finder = std::optional<Piece> (*)(std::string_view text, I s, std::string_view token);

// Searches see the text as the phase found it; all removals land together.
I CopyingPhase(std::string& text, Finder find, std::string_view token = {})
{
    std::string out;
    I removed = 0;
    I s = 0;
    while (s < Len(text)) {
        std::optional<Piece> piece = find(text, s, token);
        if (!piece) break;
        if (piece->first > s) out += Slice(text, s, piece->first);  // never a negative stretch
        out += piece->put;
        removed += piece->layers;
        s = piece->end;
    }
    if (s < Len(text)) out += Slice(text, s, Len(text));
    text = out;
    return removed;
}

std::optional<Piece> ScriptLoader(std::string_view text, I s, std::string_view)
{
    const I m = Core::FindText(text, "=\"./images/bbcode", s);
    if (m < 0) return std::nullopt;
    const I close = Core::FindTagCloseFwd(text, "script", m + 16);
    if (close < 0) return std::nullopt;
    const I open = Core::FindTagOpenBack(text, "script", m);
    if (open < 0) return std::nullopt;
    return Piece{open, AfterTail(text, close), ""};
}

std::optional<Piece> ResetStatement(std::string_view text, I s, std::string_view)
{
    const I m = Core::FindText(text, "BBDecode.ResetTimer();", s);
    if (m < 0) return std::nullopt;
    return Piece{m, AfterTail(text, m + 22), ""};
}

bool ClassMarkerBetween(std::string_view text, I from, I m)
{
    for (I c = from; c <= m - 9; ++c) {
        if (EqualNoCaseAt(text, c, "\"bbcode\"")) return true;
    }
    return false;
}

std::optional<Piece> DivWrapper(std::string_view text, I s, std::string_view token)
{
    const I n = Len(token);
    const I m = Core::FindText(text, token, s);
    if (m < 0) return std::nullopt;
    const I pclose = Core::FindTagCloseFwd(text, "p", m + n - 1);
    const I popen = Core::FindTagOpenBack(text, "p", m);
    const bool enclosed = pclose >= 0 && popen >= 0;
    const I close = Core::FindTagCloseFwd(text, "div", enclosed ? pclose : m + n - 1);
    if (close < 0) return std::nullopt;
    const I open = Core::FindTagOpenBack(text, "div", enclosed ? popen - 1 : m);
    if (open < 0) return std::nullopt;
    if (!ClassMarkerBetween(text, open + 4, m)) return std::nullopt;
    // An enclosing paragraph comes back exactly as it stood.
    std::string put = enclosed ? Slice(text, popen, pclose) : std::string(token);
    // Further layers of exactly the bytes Add inserts go too, so that nested
    // wrappers (from an older tool) leave in one run and Apply is idempotent.
    I first = open;
    I last = close;
    I layers = 1;
    while (EqualAt(text, first - Len(kOpenWrap), kOpenWrap) && EqualAt(text, last, kCloseWrap)) {
        first -= Len(kOpenWrap);
        last += Len(kCloseWrap);
        ++layers;
    }
    return Piece{first, AfterTail(text, last), put, layers};
}

std::optional<Piece> TextareaWrapper(std::string_view text, I s, std::string_view token)
{
    const I n = Len(token);
    const I m = Core::FindText(text, token, s);
    if (m < 0) return std::nullopt;
    const I close = Core::FindTagCloseFwd(text, "textarea", m + n - 1);
    if (close < 0) return std::nullopt;
    const I open = Core::FindTagOpenBack(text, "textarea", m);
    if (open < 0) return std::nullopt;
    if (!ClassMarkerBetween(text, open + 9, m)) return std::nullopt;
    return Piece{open, AfterTail(text, close), std::string(token)};
}

// Every search sees the text as closed up so far; each removal moves the
// whole rest of the text down.
I InPlacePhase(std::string& text, std::string_view call)
{
    const I n = Len(call);
    I removed = 0;
    I s = 0;
    while (s < Len(text)) {
        const I m = Core::FindText(text, call, s);
        if (m < 0) break;
        const I close = Core::FindTagCloseFwd(text, "script", m + n - 1);
        const I open = close < 0 ? -1 : Core::FindTagOpenBack(text, "script", m);
        if (open < 0) {
            s = m + n;
            continue;
        }
        text.erase(static_cast<size_t>(open), static_cast<size_t>(AfterTail(text, close) - open));
        ++removed;
        s = open;
    }
    return removed;
}

void Insert(std::string& text, std::string_view what, I at)
{
    text = Slice(text, 0, at) + std::string(what) + Slice(text, at, Len(text));
}

}  // namespace

Outcome LiteralAdd(std::string text)
{
    I count = 0;
    const I head = Core::FindTextNoCase(text, "</head", 0);
    if (head >= 0) {
        const bool lineStart = head == 0 || text[static_cast<size_t>(head - 1)] == '\n';
        const std::string_view line =
            "<script type=\"text/javascript\" src=\"./images/bbcode35.js\"></script>\r\n";
        Insert(text, lineStart ? line : "\r\n" + std::string(line), head);
        count = 1;
    }
    // Where the start tags of the paragraphs wrapped so far stand now.
    std::vector<I> wrapped;
    auto insert = [&](std::string_view what, I at) {
        Insert(text, what, at);
        for (I& tag : wrapped) {
            if (tag >= at) tag += Len(what);
        }
    };
    // The position is not corrected after an insertion below it.
    for (I i = Len(text) - 33; i >= 0; --i) {
        if (!EqualAt(text, i, "[##_")) continue;
        I t = 0;
        if (EqualAt(text, i, kComment))
            t = Len(kComment);
        else if (EqualAt(text, i, kGuest))
            t = Len(kGuest);
        else
            continue;
        const I open = Core::FindTagOpenBack(text, "p", i + t - 1);
        const I close = Core::FindTagCloseFwd(text, "p", i);
        if (open >= 0 && close >= 0) {
            // A paragraph is wrapped once, however many tokens it holds: Remove
            // takes one wrapper out at its first token and goes on past the
            // others, so a second wrapper would stay.
            if (std::find(wrapped.begin(), wrapped.end(), open) != wrapped.end()) continue;
            insert(kCloseWrap, close);
            wrapped.push_back(open);
            insert(kOpenWrap, open);
        } else {
            insert(kCloseWrap, i + t);
            insert(kOpenWrap, i);
        }
        ++count;
    }
    return {text, count};
}

Outcome LiteralRemove(std::string text)
{
    I removed = CopyingPhase(text, ScriptLoader);
    removed += InPlacePhase(text, "BBDecode.UpdateBBCodeNow");
    removed += InPlacePhase(text, "BBDecode.ResetTimer");
    removed += CopyingPhase(text, ResetStatement);
    removed += CopyingPhase(text, DivWrapper, kComment);
    removed += CopyingPhase(text, TextareaWrapper, kComment);
    removed += CopyingPhase(text, DivWrapper, kGuest);
    removed += CopyingPhase(text, TextareaWrapper, kGuest);
    return {text, removed};
}

ApplyOutcome LiteralApply(std::string text)
{
    Outcome removed = LiteralRemove(std::move(text));
    Outcome added = LiteralAdd(std::move(removed.text));
    return {added.text, removed.count, added.count};
}

}  // namespace oracle
