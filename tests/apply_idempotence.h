// Apply run again gives the same skin, apply(apply(x)) == apply(x), and
// Remove after Apply gives what Remove alone gives, remove(apply(x)) ==
// remove(x): checked on every text but the kinds where the transforms' own
// rules stand in the way. Both depend only on y = remove(x), and so do the
// kinds, each tested on y:
// - Remove left BBCode markup in y (the class marker, the script loader, a
//   timer call): a phase ended at an occurrence it cannot take, or a wrapper
//   is reached only on a second run. Add can change what stopped it, and the
//   next Remove then takes more.
// - A paragraph's end tag lacks its ">" before the next tag or token (a token
//   there gets a wrapper of its own): the closing wrapper goes after a later
//   ">" (of another tag, of a wrapper put in for another token, or inside the
//   script line), where Remove does not find it.
// - A paragraph holds a comment token and a guest-book token, and another
//   guest-book token follows: the comment phase takes the paragraph's one
//   wrapper, the guest-book phase then meets the paragraph bare and ends, so
//   the later guest-book wrappers stay and each Apply adds a layer to them.
// - The closing head tag does not begin a line (the second property only):
//   the script line goes in after a CR LF, which Remove leaves (or which a
//   wrapper's line tail takes).
// - The line tail: a wrapper ends right before blanks, tabs or a CR LF, which
//   Remove takes with it. This one is told exactly: the properties then hold
//   on y with those bytes made inert, as nothing else reads them.
// docs/behaviour.md shows each kind on an example.
#pragma once

#include <string>
#include <string_view>

#include "byte_compare.h"
#include "fake_host.h"
#include "markers.h"
#include "text_search.h"

namespace idempotence {

namespace mk = orlimo::markers;

inline constexpr auto Add = [](const std::string& x) { return FakeHost::Run(kAdd, x).first; };
inline constexpr auto Remove = [](const std::string& x) { return FakeHost::Run(kRemove, x).first; };

// The two paragraph kinds, found from the stretches that begin at each "<".
inline bool HasTroubledParagraph(std::string_view y)
{
    const auto holdsToken = [](std::string_view stretch) {
        return stretch.find(mk::kCommentToken) != stretch.npos ||
               stretch.find(mk::kGuestToken) != stretch.npos;
    };
    const auto starts = [y](std::size_t at, std::string_view prefix) {
        return at != y.npos && orlimo::EqualsNoCaseAt(y, static_cast<int64_t>(at), prefix);
    };
    std::size_t previous = y.npos;
    for (std::size_t q = y.find('<'); q != y.npos; previous = q, q = y.find('<', q + 1)) {
        const std::size_t next = y.find('<', q + 1);
        const std::string_view stretch = y.substr(q, next == y.npos ? y.npos : next - q);
        const std::size_t gt = stretch.find('>');
        const bool openEndTag =
            starts(q, "</p") && (gt == stretch.npos || holdsToken(stretch.substr(0, gt)));
        if (openEndTag && starts(previous, "<p") && holdsToken(y.substr(previous, q - previous))) {
            return true;
        }
        const bool mixed = starts(q, "<p") && starts(next, "</p") &&
                           stretch.find(mk::kCommentToken) != stretch.npos &&
                           stretch.find(mk::kGuestToken) != stretch.npos;
        if (mixed && y.find(mk::kGuestToken, next) != y.npos) return true;
    }
    return false;
}

// The property that fails on y, or nullptr.
inline const char* FailedPropertyOfRemoved(const std::string& y)
{
    const std::string applied = Add(y);
    const std::string cleaned = Remove(applied);
    if (Add(cleaned) != applied) return "apply(apply(x)) == apply(x)";
    const int32_t head = orlimo::FindTextNoCase(y, mk::kHeadClose, 0);
    const bool breakBeforeScript = head > 0 && y[static_cast<std::size_t>(head) - 1] != '\n';
    if (!breakBeforeScript && cleaned != y) return "remove(apply(x)) == remove(x)";
    return nullptr;
}

// The property that fails on x with the core's transforms, or nullptr when
// both hold or x is of a kind where they cannot.
[[nodiscard]] inline const char* FailedProperty(const std::string& x)
{
    const std::string y = Remove(x);
    // Remove left BBCode markup in y, or y has a troubled paragraph.
    if (orlimo::FindTextNoCase(y, mk::kClassMarker, 0) >= 0 ||
        y.find(mk::kScriptLoader) != y.npos || y.find(mk::kCallPrefix) != y.npos ||
        HasTroubledParagraph(y)) {
        return nullptr;
    }
    // The line tail made inert: "~", like the blank, tab and CR it stands
    // for, is in no marker, so no search finds anything new or loses anything.
    std::string inert = y;
    for (char& c : inert) c = c == ' ' || c == '\t' || c == '\r' ? '~' : c;
    const char* failed = FailedPropertyOfRemoved(y);
    return failed != nullptr && FailedPropertyOfRemoved(inert) == nullptr ? nullptr : failed;
}

}  // namespace idempotence
