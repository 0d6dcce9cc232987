// A host for the core that keeps its text in a string and records what the
// commands did with it.
#pragma once

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "allocation_failure.h"
#include "skin_patch_core.h"

class FakeHost : public CSkinPatchCore {
public:
    explicit FakeHost(std::string initial = {}) : text(std::move(initial)) {}

    std::string text;                   // the host's whole text
    std::vector<std::string> messages;  // every report shown
    int setTextCalls = 0;
    bool failGetText = false;     // HostGetText throws std::bad_alloc
    int32_t reportedLength = -1;  // HostTextLength's answer when >= 0

    // Loads `skin` into the buffer, as a command would.
    void Load(std::string skin)
    {
        text = std::move(skin);
        LoadText();
    }
    // The buffer's bytes including the byte at m_nTextLen.
    [[nodiscard]] bool TerminatedAtLength() const { return m_pszText[m_nTextLen] == '\0'; }

protected:
    int32_t HostTextLength() override
    {
        return reportedLength >= 0 ? reportedLength : static_cast<int32_t>(text.size());
    }
    void HostGetText(char* dest, int32_t capacity) override
    {
        if (failGetText) throw std::bad_alloc();
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(capacity) - 1);
        std::memcpy(dest, text.data(), n);
        dest[n] = '\0';
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
