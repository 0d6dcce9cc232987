// A host that keeps the skin text in memory: the command takes `input`, and
// the stored text and the report are collected, so that nothing leaves the
// host until the command has succeeded. Used where there is no window or file
// (the web page's binding).
#pragma once

#include <string>
#include <string_view>

#include "skin_patch_core.h"

class StringHost final : public TextViewHost {
public:
    // Runs one command on `input`; construct a new host for each command.
    explicit StringHost(std::string input) noexcept : m_input(std::move(input)) {}

    // What the command stored: the whole changed text.
    [[nodiscard]] std::string_view Result() const noexcept { return m_result; }
    // The report the command showed (UTF-8, one line, no line end).
    [[nodiscard]] std::string_view Report() const noexcept { return m_report; }

protected:
    [[nodiscard]] std::string_view HostTextView() override { return m_input; }
    // The core works on its own copy from here on.
    void HostTextCopied() noexcept override { std::string().swap(m_input); }
    void HostSetText(std::string_view text) override { m_result.assign(text); }
    void HostShowMessage(std::string_view utf8) override { m_report.assign(utf8); }

private:
    std::string m_input;
    std::string m_result;
    std::string m_report;
};
