// Apply on arbitrary bytes: the buffer stays sound after each step, Remove
// never lengthens the text, Add only inserts its own literals (as many as it
// counts), the command stores and reports exactly what the steps did, and
// Apply run again changes nothing (apply_idempotence.h).
#include <cstdint>
#include <string>

#include "apply_idempotence.h"
#include "fuzz_host.h"
#include "insertions.h"
#include "markers.h"
#include "report.h"

namespace mk = orlimo::markers;

namespace {

// The cleaned text with the script line in front of its first "</head", as
// the first step of Add puts it. The wrappers are then inserted into this,
// and a closing wrapper may land inside the script line.
[[nodiscard]] std::string WithScriptLine(std::string_view text)
{
    std::string out(text);
    const int32_t head = CSkinPatchCore::FindTextNoCase(text, mk::kHeadClose, 0);
    if (head >= 0) {
        const std::size_t at = static_cast<std::size_t>(head);
        const bool lineStart = at == 0 || text[at - 1] == '\n';
        out.insert(at, lineStart ? mk::kScriptLine : mk::kScriptLineOnNewLine);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::string_view input;
    if (!AsSkinText(data, size, input)) return 0;

    FuzzHost steps(input);
    steps.LoadText();
    steps.CheckInvariants();
    const int32_t removed = steps.RemoveBBCode();
    steps.CheckInvariants();
    const std::string cleaned(steps.Text());
    FUZZ_CHECK(cleaned.size() <= input.size());
    FUZZ_CHECK((removed == 0) == (cleaned == input));

    const int32_t added = steps.AddBBCode();
    steps.CheckInvariants();
    const std::string patched(steps.Text());
    // Only whole wrappers go in besides the script line, as many as counted.
    const std::string withLine = WithScriptLine(cleaned);
    FUZZ_CHECK(IsInsertionsOnly(withLine, patched, {mk::kWrapOpen, mk::kWrapClose}));
    const std::size_t wrapBytes = mk::kWrapOpen.size() + mk::kWrapClose.size();
    const std::size_t grown = patched.size() - withLine.size();
    FUZZ_CHECK(grown % wrapBytes == 0);
    const int32_t lines = withLine.size() != cleaned.size() ? 1 : 0;
    FUZZ_CHECK(added == lines + static_cast<int32_t>(grown / wrapBytes));
    steps.StoreText();
    FUZZ_CHECK(steps.text == patched);

    FuzzHost command(input);
    command.OnApplyBBCode();
    FUZZ_CHECK(command.text == patched);
    FUZZ_CHECK(command.report == orlimo::ApplyReport(removed, added));

    FUZZ_CHECK(idempotence::FailedPropertyOfCore<FuzzHost>(std::string(input)) == nullptr);
    return 0;
}
