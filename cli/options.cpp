#include "options.h"

#include <vector>

namespace orlimo::cli {
namespace {

constexpr std::string_view kUsage =
    "Usage: orlimo apply|remove [-o OUT | -i] [-q] [FILE]\n"
    "       orlimo -h | --help | --version\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT  write the result to OUT instead of standard output\n"
    "  -i, --in-place    replace FILE with the result\n"
    "  -q, --quiet       leave out the report\n"
    "  -h, --help        show this help and exit\n"
    "      --version     show the version and exit\n";

constexpr std::string_view kDetails =
    "\n"
    "apply   takes out the BBCode markup the skin already has, then puts the\n"
    "        script line in front of </head> and a <div class=\"bbcode\"> wrapper\n"
    "        around every [##_rp_rep_desc_##] and [##_guest_rep_desc_##] (or\n"
    "        around the paragraph that holds it)\n"
    "remove  takes all BBCode markup out\n"
    "\n"
    "FILE is read as bytes (standard input when it is absent or \"-\") and the\n"
    "result goes to standard output, changed only where markup was added or\n"
    "removed. A one-line report (Korean, UTF-8) goes to standard error.\n"
    "-o and -i write a temporary file beside the destination and rename it over\n"
    "the destination once complete. The new file keeps the old one's mode, ACL\n"
    "and extended attributes, and its owner and group where the user may set\n"
    "them (else the set-ID bits are cleared); what cannot be kept fails the run.\n"
    "Symbolic links are followed (a dangling one gets the file it names); other\n"
    "hard links keep the old text, as the file is new. A destination that is not\n"
    "a regular file (a pipe, a terminal) is written directly, and one orlimo\n"
    "already has open (/dev/stdout, /dev/fd/N) through that descriptor. When a\n"
    "run fails or is interrupted, nothing is written and the destination stays\n"
    "as it was.\n"
    "\n"
    "Exit status:\n"
    "   0  done\n"
    "   2  unknown command or option, wrong arguments\n"
    "  65  the input holds a NUL byte (or is UTF-16) or is larger than 512 MiB\n"
    "  66  FILE cannot be opened\n"
    "  70  internal error\n"
    "  71  out of memory\n"
    "  73  the destination cannot be created or replaced\n"
    "  74  reading or writing failed part way\n";

struct ParseState {
    ParsedArguments result;
    std::vector<std::string_view> positionals;
    bool outputGiven = false;
};

void SetOutput(ParseState& state, std::string_view value)
{
    state.outputGiven = true;
    if (value == "-") {
        state.result.options.outputPath.reset();
    } else {
        state.result.options.outputPath = std::string(value);
    }
}

// Takes the operand of an option: the rest of the argument, or else the next
// argument. False when there is none.
[[nodiscard]] bool TakeOperand(std::span<const char* const> args, std::size_t& index,
                               std::string_view rest, std::string_view& operand)
{
    if (!rest.empty()) {
        operand = rest;
        return true;
    }
    if (index + 1 >= args.size()) return false;
    operand = args[++index];
    return true;
}

// One "--name" or "--name=value" argument. False ends the parsing (an error,
// or --help / --version).
[[nodiscard]] bool ParseLongOption(ParseState& state, std::span<const char* const> args,
                                   std::size_t& index)
{
    const std::string_view arg = args[index];
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const bool hasValue = equals != std::string_view::npos;
    Options& options = state.result.options;

    if (name == "--output") {
        std::string_view operand = arg.substr(hasValue ? equals + 1 : arg.size());
        if ((!hasValue && !TakeOperand(args, index, "", operand)) || operand.empty()) {
            state.result.error = "option '--output' needs a file name";
            return false;
        }
        SetOutput(state, operand);
        return true;
    }
    bool* flag = nullptr;
    if (name == "--in-place") flag = &options.inPlace;
    if (name == "--quiet") flag = &options.quiet;
    const bool known = flag != nullptr || name == "--help" || name == "--version";
    if (!known) {
        state.result.error = "unknown option '" + std::string(name) + "'";
        return false;
    }
    if (hasValue) {
        state.result.error = "option '" + std::string(name) + "' takes no value";
        return false;
    }
    if (flag != nullptr) {
        *flag = true;
        return true;
    }
    options.action = name == "--help" ? Action::kHelp : Action::kVersion;
    return false;
}

// One "-xyz" argument: flags may be bundled, and -o takes the rest of the
// argument or the next one. False ends the parsing.
[[nodiscard]] bool ParseShortOptions(ParseState& state, std::span<const char* const> args,
                                     std::size_t& index)
{
    const std::string_view arg = args[index];
    Options& options = state.result.options;
    for (std::size_t k = 1; k < arg.size(); ++k) {
        switch (arg[k]) {
            case 'i':
                options.inPlace = true;
                break;
            case 'q':
                options.quiet = true;
                break;
            case 'h':
                options.action = Action::kHelp;
                return false;
            case 'o': {
                std::string_view operand;
                if (!TakeOperand(args, index, arg.substr(k + 1), operand) || operand.empty()) {
                    state.result.error = "option '-o' needs a file name";
                    return false;
                }
                SetOutput(state, operand);
                return true;
            }
            default:
                state.result.error = "unknown option '-" + std::string(1, arg[k]) + "'";
                return false;
        }
    }
    return true;
}

// Checks the command, FILE and the combination of options once all
// arguments are read.
void Finish(ParseState& state)
{
    Options& options = state.result.options;
    const std::vector<std::string_view>& words = state.positionals;
    if (words.empty()) {
        state.result.error = "missing command: apply or remove";
        return;
    }
    if (words[0] == "apply") {
        options.command = Command::kApply;
    } else if (words[0] == "remove") {
        options.command = Command::kRemove;
    } else {
        state.result.error = "unknown command '" + std::string(words[0]) + "'";
        return;
    }
    if (words.size() > 2) {
        state.result.error = "too many arguments: only one FILE is read";
        return;
    }
    if (words.size() == 2 && words[1] != "-") options.inputPath = std::string(words[1]);
    if (options.inPlace && state.outputGiven) {
        state.result.error = "-i and -o cannot be used together";
    } else if (options.inPlace && !options.inputPath) {
        state.result.error = "-i needs a FILE to replace";
    }
}

}  // namespace

ParsedArguments ParseArguments(std::span<const char* const> args)
{
    ParseState state;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < args.size(); ++index) {
        const std::string_view arg = args[index];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            state.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const bool goOn = arg.starts_with("--") ? ParseLongOption(state, args, index)
                                                : ParseShortOptions(state, args, index);
        if (!goOn) return state.result;
    }
    Finish(state);
    return state.result;
}

std::string_view UsageText() noexcept
{
    return kUsage;
}

std::string HelpText()
{
    std::string help(kUsage);
    help += kDetails;
    return help;
}

}  // namespace orlimo::cli
