#include "literal_skin_patch.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace oracle {
namespace {

using I = int32_t;

const std::string_view kComment = "[##_rp_rep_desc_##]";
const std::string_view kGuest = "[##_guest_rep_desc_##]";
const std::string_view kOpenWrap = "<div class=\"bbcode\">";
const std::string_view kCloseWrap = "</div>";

I Len(std::string_view s)
{
    return static_cast<I>(s.size());
}

char At(std::string_view text, I p)
{
    return text[static_cast<size_t>(p)];
}

// `s` stands at text[p], wholly inside the text; with `anyCase`, A-Z match a-z.
bool IsAt(std::string_view text, I p, std::string_view s, bool anyCase = false)
{
    const auto fold = [anyCase](char c) { return anyCase && c >= 'A' && c <= 'Z' ? c + 32 : c; };
    if (p < 0 || p + Len(s) > Len(text)) return false;
    for (I k = 0; k < Len(s); ++k) {
        if (fold(At(text, p + k)) != fold(At(s, k))) return false;
    }
    return true;
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

// Searches see the text as the phase found it; all removals land together.
template <class Finder>
I CopyingPhase(std::string& text, Finder find)
{
    std::string out;
    I removed = 0;
    I s = 0;
    while (s < Len(text)) {
        std::optional<Piece> piece = find(text, s);
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

std::optional<Piece> ScriptLoader(std::string_view text, I s)
{
    const I m = Find(text, "=\"./images/bbcode", s, false);
    if (m < 0) return std::nullopt;
    const I close = TagCloseFwd(text, "script", m + 16);
    const I open = close < 0 ? -1 : TagOpenBack(text, "script", m);
    if (open < 0) return std::nullopt;
    return Piece{open, close + LineTail(text, close), ""};
}

std::optional<Piece> ResetStatement(std::string_view text, I s)
{
    const I m = Find(text, "BBDecode.ResetTimer();", s, false);
    if (m < 0) return std::nullopt;
    return Piece{m, m + 22 + LineTail(text, m + 22), ""};
}

// A div or textarea element with the class marker in its start tag, before
// the token, around the token or (div only) around the p element around it.
std::optional<Piece> Wrapper(std::string_view text, I s, std::string_view token,
                             std::string_view tag)
{
    const bool div = tag == "div";
    const I n = Len(token);
    const I m = Find(text, token, s, false);
    if (m < 0) return std::nullopt;
    const I pclose = div ? TagCloseFwd(text, "p", m + n - 1) : -1;
    const I popen = div ? TagOpenBack(text, "p", m) : -1;
    const bool enclosed = pclose >= 0 && popen >= 0;
    const I close = TagCloseFwd(text, tag, enclosed ? pclose : m + n - 1);
    const I open = close < 0 ? -1 : TagOpenBack(text, tag, enclosed ? popen - 1 : m);
    if (open < 0) return std::nullopt;
    // The class marker, in the start tag's attributes, ends a byte or more before the token.
    if (Find(text.substr(0, m - 1), "\"bbcode\"", open + 1 + Len(tag), true) < 0)
        return std::nullopt;
    // An enclosing paragraph comes back exactly as it stood.
    std::string put = enclosed ? Slice(text, popen, pclose) : std::string(token);
    // Further layers of exactly the bytes Add inserts go too, so that nested
    // wrappers (from an older tool) leave in one run and Apply is idempotent.
    I first = open;
    I last = close;
    I layers = 1;
    while (div && IsAt(text, first - Len(kOpenWrap), kOpenWrap) && IsAt(text, last, kCloseWrap)) {
        first -= Len(kOpenWrap);
        last += Len(kCloseWrap);
        ++layers;
    }
    return Piece{first, last + LineTail(text, last), put, layers};
}

// Every search sees the text as closed up so far; each removal moves the
// whole rest of the text down.
I InPlacePhase(std::string& text, std::string_view call)
{
    const I n = Len(call);
    I removed = 0;
    I s = 0;
    while (s < Len(text)) {
        const I m = Find(text, call, s, false);
        if (m < 0) break;
        const I close = TagCloseFwd(text, "script", m + n - 1);
        const I open = close < 0 ? -1 : TagOpenBack(text, "script", m);
        if (open < 0) {
            s = m + n;
            continue;
        }
        text.erase(static_cast<size_t>(open),
                   static_cast<size_t>(close + LineTail(text, close) - open));
        ++removed;
        s = open;
    }
    return removed;
}

}  // namespace

I Find(std::string_view text, std::string_view needle, I start, bool anyCase)
{
    for (I p = std::max(start, 0); p + Len(needle) <= Len(text); ++p) {
        if (IsAt(text, p, needle, anyCase)) return p;
    }
    return -1;
}

I TagOpenBack(std::string_view text, std::string_view name, I start)
{
    for (I p = std::min(start, Len(text) - 1); p >= 0; --p) {
        if (At(text, p) == '<') return IsAt(text, p + 1, name, true) ? p : -1;
    }
    return -1;
}

I TagCloseFwd(std::string_view text, std::string_view name, I start)
{
    for (I p = std::max(start, 0); p <= Len(text) - Len(name) - 3; ++p) {
        if (At(text, p) != '<') continue;
        if (!IsAt(text, p + 1, "/") || !IsAt(text, p + 2, name, true)) return -1;
        const I gt = Find(text, ">", p + 2 + Len(name), false);
        return gt < 0 ? -1 : gt + 1;
    }
    return -1;
}

I LineTail(std::string_view text, I start)
{
    start = std::max(start, 0);
    I q = start;
    while (q < Len(text) && (At(text, q) == ' ' || At(text, q) == '\t')) ++q;
    if (IsAt(text, q, "\r\n")) q += 2;
    return std::max(q - start, 0);
}

Outcome LiteralAdd(std::string text)
{
    // Where the start tags of the paragraphs wrapped so far stand now.
    std::vector<I> wrapped;
    auto insert = [&](std::string_view what, I at) {
        text = Slice(text, 0, at) + std::string(what) + Slice(text, at, Len(text));
        for (I& tag : wrapped) {
            if (tag >= at) tag += Len(what);
        }
    };
    I count = 0;
    const I head = Find(text, "</head", 0, true);
    if (head >= 0) {
        const bool lineStart = head == 0 || At(text, head - 1) == '\n';
        const std::string line =
            "<script type=\"text/javascript\" src=\"./images/bbcode35.js\"></script>\r\n";
        insert(lineStart ? line : "\r\n" + line, head);
        count = 1;
    }
    // The scan starts 33 bytes before the end (kScanOffset in
    // core/add_bbcode.cpp says why); its position is not corrected after an
    // insertion below it.
    for (I i = Len(text) - 33; i >= 0; --i) {
        const I t = IsAt(text, i, kComment) ? Len(kComment)
                    : IsAt(text, i, kGuest) ? Len(kGuest)
                                            : 0;
        if (t == 0) continue;
        const I open = TagOpenBack(text, "p", i + t - 1);
        const I close = TagCloseFwd(text, "p", i);
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
    const auto wrapper = [](std::string_view token, std::string_view tag) {
        return [token, tag](std::string_view skin, I s) { return Wrapper(skin, s, token, tag); };
    };
    I removed = CopyingPhase(text, ScriptLoader);
    removed += InPlacePhase(text, "BBDecode.UpdateBBCodeNow");
    removed += InPlacePhase(text, "BBDecode.ResetTimer");
    removed += CopyingPhase(text, ResetStatement);
    removed += CopyingPhase(text, wrapper(kComment, "div"));
    removed += CopyingPhase(text, wrapper(kComment, "textarea"));
    removed += CopyingPhase(text, wrapper(kGuest, "div"));
    removed += CopyingPhase(text, wrapper(kGuest, "textarea"));
    return {text, removed};
}

}  // namespace oracle
