// The core's host on the command line: the skin text comes from memory and
// the result and the report are collected, so that nothing is written
// anywhere until the command has succeeded.
#pragma once

#include <string>
#include <string_view>

#include "skin_patch_core.h"

class CCommandLineHost final : public CSkinPatchCore {
public:
    // Runs one command on `input`; construct a new host for each command.
    explicit CCommandLineHost(std::string input) noexcept : m_strInput(std::move(input)) {}

    // What the command stored: the whole changed text.
    [[nodiscard]] std::string_view Result() const noexcept { return m_strResult; }
    // The report the command showed (UTF-8, one line, no line end).
    [[nodiscard]] std::string_view Report() const noexcept { return m_strReport; }

protected:
    [[nodiscard]] int32_t HostTextLength() override;
    void HostGetText(char* dest, int32_t capacity) override;
    void HostSetText(std::string_view text) override;
    void HostShowMessage(std::string_view utf8) override;

private:
    std::string m_strInput;
    std::string m_strResult;
    std::string m_strReport;
};
