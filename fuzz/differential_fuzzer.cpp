// The fast transforms against the literal method on arbitrary bytes: Add,
// Remove and Apply must give the same text and counts, byte for byte; and
// the literal Apply run again changes nothing (apply_idempotence.h).
#include <cstdint>
#include <string>

#include "apply_idempotence.h"
#include "fuzz_host.h"
#include "literal_skin_patch.h"

namespace {

void CheckSame(std::string_view input, int32_t (CSkinPatchCore::*fast)(),
               oracle::Outcome (*literal)(std::string))
{
    FuzzHost host(input);
    host.LoadText();
    const int32_t count = (host.*fast)();
    host.CheckInvariants();
    const oracle::Outcome expected = literal(std::string(input));
    FUZZ_CHECK(host.Text() == expected.text);
    FUZZ_CHECK(count == expected.count);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    std::string_view input;
    if (!AsSkinText(data, size, input)) return 0;

    CheckSame(input, &CSkinPatchCore::AddBBCode, oracle::LiteralAdd);
    CheckSame(input, &CSkinPatchCore::RemoveBBCode, oracle::LiteralRemove);

    // Apply: Add runs on what Remove left, which a plain Add never sees.
    FuzzHost host(input);
    host.LoadText();
    const int32_t removed = host.RemoveBBCode();
    const int32_t added = host.AddBBCode();
    const oracle::ApplyOutcome expected = oracle::LiteralApply(std::string(input));
    FUZZ_CHECK(host.Text() == expected.text);
    FUZZ_CHECK(removed == expected.removed && added == expected.added);

    const auto add = [](const std::string& text) { return oracle::LiteralAdd(text).text; };
    const auto remove = [](const std::string& text) { return oracle::LiteralRemove(text).text; };
    FUZZ_CHECK(idempotence::FailedProperty(std::string(input), add, remove) == nullptr);
    return 0;
}
