// orlimo: runs the Apply or Remove command on a skin file from the command
// line. The whole input is read and the whole result built in memory before
// anything is written, so a failure never leaves a half-written destination.
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "command_line_host.h"
#include "destination.h"
#include "failure.h"
#include "input_file.h"
#include "options.h"
#include "version.h"

namespace {

using orlimo::cli::ExitStatus;
using orlimo::cli::Failure;

// Messages go straight to the unbuffered stderr; a failure to show them has
// nowhere else to be reported.
void PrintError(std::string_view message)
{
    std::fprintf(stderr, "orlimo: %.*s\n", static_cast<int>(message.size()), message.data());
}

void PrintToStandardOutput(std::string_view text)
{
    if (const int error = orlimo::cli::WriteAll(STDOUT_FILENO, text)) {
        throw orlimo::cli::Cannot(ExitStatus::kIoError, "write", "standard output", error);
    }
}

[[nodiscard]] ExitStatus RunCommand(const orlimo::cli::Options& options)
{
    // The input first, then the destination: a missing input is the first
    // thing to report, and an unwritable destination is found before the work.
    orlimo::cli::InputFile input(options.inputPath);
    orlimo::cli::Destination destination(options.inPlace ? options.inputPath : options.outputPath);
    CommandLineHost host(input, destination, options.quiet);
    const auto command = options.command == orlimo::cli::Command::kApply
                             ? &CSkinPatchCore::OnApplyBBCode
                             : &CSkinPatchCore::OnRemoveBBCode;
    try {
        (host.*command)();
    } catch (const orlimo::cli::InputFile::SizeWasWrong&) {
        // Nothing was stored: the same command, on the file read as a stream.
        input.ReadAsStream();
        (host.*command)();
    }
    return ExitStatus::kOk;
}

[[nodiscard]] ExitStatus Run(int argc, char* argv[])
{
    const orlimo::cli::ParsedArguments parsed = orlimo::cli::ParseArguments(argc, argv);
    if (parsed.error) {
        PrintError(*parsed.error);
        const std::string_view usage = orlimo::cli::UsageText();
        std::fwrite(usage.data(), 1, usage.size(), stderr);
        return ExitStatus::kUsage;
    }
    switch (parsed.options.action) {
        case orlimo::cli::Action::kHelp:
            PrintToStandardOutput(orlimo::cli::HelpText());
            return ExitStatus::kOk;
        case orlimo::cli::Action::kVersion:
            PrintToStandardOutput("orlimo " ORLIMO_VERSION_STRING "\n");
            return ExitStatus::kOk;
        case orlimo::cli::Action::kRun:
            break;
    }
    return RunCommand(parsed.options);
}

}  // namespace

int main(int argc, char** argv)
{
    // A closed pipe on standard output, or a file past the size limit, is
    // then a write error with a message and a status, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    ExitStatus status = ExitStatus::kSoftware;
    try {
        status = Run(argc, argv);
    } catch (const Failure& failure) {
        PrintError(failure.message);
        status = failure.status;
    } catch (const std::bad_alloc&) {
        PrintError("out of memory");
        status = ExitStatus::kOutOfMemory;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orlimo: internal error: %s\n", error.what());
    }
    return static_cast<int>(status);
}
