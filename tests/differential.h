// The fast transforms and both commands against the literal method
// (tests/oracle) on one text, and the properties every text must have; the
// differential tests and the fuzz target share the check.
#pragma once

#include <string>
#include <utility>

#include "apply_idempotence.h"
#include "fake_host.h"
#include "literal_skin_patch.h"
#include "report.h"

namespace differential {

// The first check that fails on `text`, or nullptr: Add, Remove and both
// commands give the literal method's text and counts (and report those
// counts), leaving the buffer sound; Remove never lengthens the text and
// changes it exactly when it counts a removal; and Apply run again changes
// nothing (apply_idempotence.h).
[[nodiscard]] inline const char* FailedCheck(const std::string& text)
{
    const auto pair = [](const oracle::Outcome& o) { return std::pair(o.text, o.count); };
    const oracle::Outcome removed = oracle::LiteralRemove(text);
    const oracle::Outcome applied = oracle::LiteralAdd(removed.text);
    if (FakeHost::Run(kAdd, text) != pair(oracle::LiteralAdd(text))) return "Add";
    if (FakeHost::Run(kRemove, text) != pair(removed)) return "Remove";
    if (removed.text.size() > text.size() || (removed.count == 0) != (removed.text == text)) {
        return "Remove's length";
    }
    FakeHost apply(text);
    apply.OnApplyBBCode();
    if (apply.text != applied.text ||
        apply.messages.back() != orlimo::ApplyReport(removed.count, applied.count)) {
        return "the Apply command";
    }
    FakeHost remove(text);
    remove.OnRemoveBBCode();
    if (remove.text != removed.text ||
        remove.messages.back() != orlimo::RemoveReport(removed.count)) {
        return "the Remove command";
    }
    return idempotence::FailedProperty(text);
}

}  // namespace differential
