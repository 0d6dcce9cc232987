// A host for the core that keeps its text in a string and records what the
// commands did with it, and the pieces of skin the tests build texts from.
// The unit tests and the fuzz target share both.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "allocation_failure.h"
#include "skin_patch_core.h"

class FakeHost : public TextViewHost {
public:
    explicit FakeHost(std::string_view initial = {}) : text(initial) {}

    // The parts of a command, for the tests.
    using CSkinPatchCore::AddBBCode;
    using CSkinPatchCore::LoadText;
    using CSkinPatchCore::RemoveBBCode;
    using CSkinPatchCore::Text;

    std::string text;                   // the host's whole text
    std::vector<std::string> messages;  // every report shown
    int setTextCalls = 0;
    int32_t reportedLength = -1;  // when >= 0, the length of the view handed over

    [[nodiscard]] bool Released() const { return m_pszText == nullptr && m_nTextLen == 0; }

    // `transform` on a host holding `text`: the text it leaves and its count,
    // or a count of -1 where it leaves the buffer unsound (other than Text()
    // and a NUL right after it, with no NUL before).
    static std::pair<std::string, int32_t> Run(int32_t (CSkinPatchCore::*transform)(),
                                               std::string_view text)
    {
        FakeHost host(text);
        host.LoadText();
        const int32_t count = (host.*transform)();
        const char* buffer = host.m_pszText.get();
        const std::size_t length = host.Text().size();
        const bool sound =
            buffer != nullptr && buffer[length] == '\0' && std::strlen(buffer) == length;
        return {std::string(host.Text()), sound ? count : -1};
    }

protected:
    // A view longer than `text` is never read: the core refuses it, or its
    // block is refused.
    std::string_view HostTextView() override
    {
        return {text.data(), reportedLength < 0 ? text.size() : std::size_t(reportedLength)};
    }
    // The host's own bookkeeping is exempt from injected allocation failures:
    // the tests are about what the core does.
    void HostSetText(std::string_view newText) override
    {
        AllocationFailureSuspended exempt;
        ++setTextCalls;
        text.assign(newText);
    }
    void HostShowMessage(std::string_view utf8) override
    {
        AllocationFailureSuspended exempt;
        messages.emplace_back(utf8);
    }
};

inline constexpr auto kAdd = &FakeHost::AddBBCode;
inline constexpr auto kRemove = &FakeHost::RemoveBBCode;

namespace skin {
// `pattern` with {C} and {G} (the comment and guest-book tokens), {O} and {X}
// (the wrapper's tags), {L} (the script line), {T} (enough bytes after a
// token for the add scan, which starts 33 bytes from the end: kScanOffset in
// core/add_bbcode.cpp says why) and {U} (a script element that calls the
// update) spelled out.
inline std::string Skin(std::string text)
{
    const std::pair<std::string_view, std::string_view> pieces[] = {
        {"{C}", "[##_rp_rep_desc_##]"},
        {"{G}", "[##_guest_rep_desc_##]"},
        {"{X}", "</div>"},
        {"{O}", "<div class=\"bbcode\">"},
        {"{T}", "\r\n<!-- the end of the list -->"},
        {"{U}", "<script>BBDecode.UpdateBBCodeNow();</script>"},
        {"{L}", "<script type=\"text/javascript\" src=\"./images/bbcode35.js\"></script>\r\n"}};
    for (const auto& [key, piece] : pieces) {
        for (std::size_t at = text.find(key); at != text.npos; at = text.find(key, at)) {
            text.replace(at, key.size(), piece);
        }
    }
    return text;
}
}  // namespace skin
