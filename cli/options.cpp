// The arguments of orlimo, read with getopt_long, and its usage and help
// texts. Usage errors become messages for main to print, never getopt's own.
#include "options.h"

#include <getopt.h>

#include <vector>

#include "skin_patch_core.h"

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

// The rest of the help, around the largest text the core takes.
constexpr std::string_view kDetailsBeforeLimit =
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
    "  65  the input holds a NUL byte (or is UTF-16) or is larger than ";
constexpr std::string_view kDetailsAfterLimit =
    " MiB\n"
    "  66  FILE cannot be opened\n"
    "  70  internal error\n"
    "  71  out of memory\n"
    "  73  the destination cannot be created or replaced\n"
    "  74  reading or writing failed part way\n";

constexpr int kVersion = 256;  // --version has no short form

// "-": every other argument comes back in order as option 1, so that options
// may follow the command and FILE whatever POSIXLY_CORRECT says. ":": getopt
// prints nothing, and a missing operand comes back as ':', not '?'.
constexpr char kShortOptions[] = "-:o:iqh";
// clang-format off
constexpr option kLongOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"in-place", no_argument, nullptr, 'i'},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};
// clang-format on

[[nodiscard]] std::string NeedsFileName(bool longForm)
{
    return std::string("option '") + (longForm ? "--output" : "-o") + "' needs a file name";
}

// getopt's '?' for `arg`, the argument that held the option: an unknown long
// option (optopt 0), a value given to a flag (optopt is that flag), or an
// unknown short option (optopt is its letter).
[[nodiscard]] std::string OptionError(std::string_view arg)
{
    if (optopt == 0) return "unknown option '" + std::string(arg.substr(0, arg.find('='))) + "'";
    for (const option& known : kLongOptions) {
        if (known.name != nullptr && known.val == optopt) {
            return "option '--" + std::string(known.name) + "' takes no value";
        }
    }
    return "unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'";
}

// Checks the command, FILE and the combination of options once all
// arguments are read.
void Finish(const std::vector<std::string_view>& words, bool outputGiven, ParsedArguments& result)
{
    Options& options = result.options;
    if (words.empty()) {
        result.error = "missing command: apply or remove";
        return;
    }
    if (words[0] == "apply") {
        options.command = Command::kApply;
    } else if (words[0] == "remove") {
        options.command = Command::kRemove;
    } else {
        result.error = "unknown command '" + std::string(words[0]) + "'";
        return;
    }
    if (words.size() > 2) {
        result.error = "too many arguments: only one FILE is read";
        return;
    }
    if (words.size() == 2 && words[1] != "-") options.inputPath = std::string(words[1]);
    if (options.inPlace && outputGiven) {
        result.error = "-i and -o cannot be used together";
    } else if (options.inPlace && !options.inputPath) {
        result.error = "-i needs a FILE to replace";
    }
}

}  // namespace

ParsedArguments ParseArguments(int argc, char* argv[])
{
    ParsedArguments result;
    Options& options = result.options;
    std::vector<std::string_view> words;  // the command and FILE
    bool outputGiven = false;
    for (;;) {
        int longIndex = -1;
        const int option = ::getopt_long(argc, argv, kShortOptions, kLongOptions, &longIndex);
        if (option == -1) break;
        switch (option) {
            case 1:
                words.emplace_back(optarg);
                break;
            case 'i':
                options.inPlace = true;
                break;
            case 'q':
                options.quiet = true;
                break;
            case 'o':
                if (*optarg == '\0') {
                    result.error = NeedsFileName(longIndex >= 0);
                    return result;
                }
                outputGiven = true;
                options.outputPath = std::string_view(optarg) == "-"
                                         ? std::nullopt
                                         : std::optional<std::string>(optarg);
                break;
            case 'h':
                options.action = Action::kHelp;
                return result;
            case kVersion:
                options.action = Action::kVersion;
                return result;
            case ':':
                result.error = NeedsFileName(std::string_view(argv[optind - 1]).starts_with("--"));
                return result;
            default:
                result.error = OptionError(argv[optind - 1]);
                return result;
        }
    }
    for (int index = optind; index < argc; ++index) words.emplace_back(argv[index]);  // after "--"
    Finish(words, outputGiven, result);
    return result;
}

std::string_view UsageText() noexcept
{
    return kUsage;
}

std::string HelpText()
{
    std::string help(kUsage);
    help += kDetailsBeforeLimit;
    help += std::to_string(CSkinPatchCore::kMaxTextLength >> 20);
    help += kDetailsAfterLimit;
    return help;
}

}  // namespace orlimo::cli
