// Remove on arbitrary bytes: the buffer stays sound, the text only ever
// shrinks, and it shrinks exactly when something was counted as removed.
#include <cstdint>
#include <string>

#include "fuzz_host.h"
#include "report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::string_view input;
    if (!AsSkinText(data, size, input)) return 0;

    FuzzHost steps(input);
    steps.LoadText();
    const int32_t removed = steps.RemoveBBCode();
    steps.CheckInvariants();
    const std::string cleaned(steps.Text());
    FUZZ_CHECK(removed >= 0);
    FUZZ_CHECK(cleaned.size() <= input.size());
    FUZZ_CHECK((removed == 0) == (cleaned == input));

    FuzzHost command(input);
    command.OnRemoveBBCode();
    FUZZ_CHECK(command.text == cleaned);
    FUZZ_CHECK(command.report == orlimo::RemoveReport(removed));
    return 0;
}
