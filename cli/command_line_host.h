// The core's host on the command line. The core's buffer is filled straight
// from the input, and its finished text written straight to the destination
// when the core stores it: the text is held once, and nothing is written
// anywhere until the command has succeeded and composed its report.
#pragma once

#include <string_view>

#include "destination.h"
#include "input_file.h"
#include "skin_patch_core.h"

class CommandLineHost final : public CSkinPatchCore {
public:
    // Runs one command from `input` to `destination`, and prints its report
    // on standard error unless `quiet`; construct a new host for each command
    // (a command that failed before the store may run again).
    CommandLineHost(orlimo::cli::InputFile& input, orlimo::cli::Destination& destination,
                    bool quiet) noexcept
        : m_input(input), m_destination(destination), m_quiet(quiet)
    {
    }

protected:
    [[nodiscard]] int32_t HostTextLength() override;
    void HostGetText(char* dest, int32_t capacity) override;
    void HostSetText(std::string_view text) override;
    void HostShowMessage(std::string_view utf8) override;

private:
    orlimo::cli::InputFile& m_input;
    orlimo::cli::Destination& m_destination;
    bool m_quiet;
};
