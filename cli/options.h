// The command line: orlimo apply|remove [-o OUT | -i] [-q] [FILE].
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orlimo::cli {

enum class Command { kApply, kRemove };
enum class Action { kRun, kHelp, kVersion };

struct Options {
    Action action = Action::kRun;
    Command command = Command::kApply;
    std::optional<std::string> inputPath;   // none: standard input
    std::optional<std::string> outputPath;  // none: standard output (unless inPlace)
    bool inPlace = false;                   // write the result over inputPath
    bool quiet = false;                     // leave out the report
};

struct ParsedArguments {
    Options options;
    std::optional<std::string> error;  // set for a usage error
};

// Parses main's arguments with getopt_long; call it once per process. Options
// may stand before or after the command and FILE; "--" ends the options and
// "-" means standard input (or, after -o, standard output). -h and --version
// end the parsing.
[[nodiscard]] ParsedArguments ParseArguments(int argc, char* argv[]);

// The synopsis and the options, printed with every usage error.
[[nodiscard]] std::string_view UsageText() noexcept;
// UsageText plus what the program does and its exit statuses (--help).
[[nodiscard]] std::string HelpText();

}  // namespace orlimo::cli
