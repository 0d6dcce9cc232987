// A host that keeps the skin text in memory: the command takes `input`, and
// the stored text and the report are collected, so that nothing leaves the
// host until the command has succeeded. Used where there is no window or file
// (the web page's binding).
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "skin_patch_core.h"

class CStringHost final : public CSkinPatchCore {
public:
    // Runs one command on `input`; construct a new host for each command.
    explicit CStringHost(std::string input) noexcept : m_strInput(std::move(input)) {}

    // What the command stored: the whole changed text.
    [[nodiscard]] std::string_view Result() const noexcept { return m_strResult; }
    // The report the command showed (UTF-8, one line, no line end).
    [[nodiscard]] std::string_view Report() const noexcept { return m_strReport; }

protected:
    [[nodiscard]] int32_t HostTextLength() override
    {
        // A longer input is reported as just too long, so that the core refuses it.
        constexpr std::size_t kTooLong = std::size_t{kMaxTextLength} + 1;
        return static_cast<int32_t>(std::min(m_strInput.size(), kTooLong));
    }
    void HostGetText(char* dest, int32_t capacity) override
    {
        if (capacity <= 0) return;
        const std::size_t count = std::min(m_strInput.size(), static_cast<std::size_t>(capacity) - 1);
        std::memcpy(dest, m_strInput.data(), count);
        dest[count] = '\0';
        // The core works on its own copy from here on.
        std::string().swap(m_strInput);
    }
    void HostSetText(std::string_view text) override { m_strResult.assign(text); }
    void HostShowMessage(std::string_view utf8) override { m_strReport.assign(utf8); }

private:
    std::string m_strInput;
    std::string m_strResult;
    std::string m_strReport;
};
