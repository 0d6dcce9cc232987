// How a run of orlimo ends when it cannot do its job: the exit status
// (sysexits-style, so that scripts can tell the causes apart) and the message.
#pragma once

#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace orlimo::cli {

enum class ExitStatus : int {
    kOk = 0,
    kUsage = 2,          // unknown command or option, wrong arguments
    kDataError = 65,     // the input holds a NUL byte or is too large
    kNoInput = 66,       // the input file cannot be opened
    kSoftware = 70,      // an internal error (a bug)
    kOutOfMemory = 71,   // memory ran out
    kCannotCreate = 73,  // the destination cannot be created or replaced
    kIoError = 74,       // reading or writing failed part way
};

// Thrown by the file and argument handling; main prints the message and exits
// with the status.
struct Failure {
    ExitStatus status;
    std::string message;

    Failure(ExitStatus failureStatus, std::string text)
        : status(failureStatus), message(std::move(text))
    {
    }
};

// The failure of one step on one file: "cannot <what> <name>: <the system's
// reason for `error`>", as in "cannot read 'skin.html': Is a directory".
[[nodiscard]] inline Failure Cannot(ExitStatus status, std::string_view what, std::string_view name,
                                    int error)
{
    return Failure(status, "cannot " + std::string(what) + " " + std::string(name) + ": " +
                               std::strerror(error));
}

}  // namespace orlimo::cli
