// Option parsing for the command line through getopt_long, as GNU tools do it.
#include "app/cli/Options.h"

#include <getopt.h>

#include <memory>

namespace cli {

namespace {

// Values for the options that have no short form, beyond any character.
enum : int { kSaveSettings = 256, kAbout, kRestore, kDryRun };

const char kShortOptions[] = "+:bnqvhVlo:d:rf";
const option kLongOptions[] = {
    {"backup", no_argument, nullptr, 'b'},       {"no-backup", no_argument, nullptr, 'n'},
    {"quiet", no_argument, nullptr, 'q'},        {"verbose", no_argument, nullptr, 'v'},
    {"help", no_argument, nullptr, 'h'},         {"version", no_argument, nullptr, 'V'},
    {"dry-run", no_argument, nullptr, kDryRun},  {"list", no_argument, nullptr, 'l'},
    {"output", required_argument, nullptr, 'o'}, {"directory", required_argument, nullptr, 'd'},
    {"recursive", no_argument, nullptr, 'r'},    {"force", no_argument, nullptr, 'f'},
    {"restore", no_argument, nullptr, kRestore}, {"save-settings", no_argument, nullptr, kSaveSettings},
    {"about", no_argument, nullptr, kAbout},     {nullptr, 0, nullptr, 0},
};

void Apply(int option, const char* value, TOptions& o) {
    switch (option) {
        case 'b':
            o.Backup = true;
            break;
        case 'n':
            o.Backup = false;
            break;
        case 'q':
            o.Verbosity = TVerbosity::Quiet;
            break;
        case 'v':
            o.Verbosity = TVerbosity::Verbose;
            break;
        case 'h':
            o.Help = true;
            break;
        case 'V':
            o.Version = true;
            break;
        case 'l':
        case kDryRun:
            o.DryRun = true;
            break;
        case 'o':
            o.Output = value;
            break;
        case 'd':
            o.OutputDir = value;
            break;
        case 'r':
            o.Recursive = true;
            break;
        case 'f':
            o.Force = true;
            break;
        case kRestore:
            o.Restore = true;
            break;
        case kSaveSettings:
            o.SaveSettings = true;
            break;
        case kAbout:
            o.About = true;
            break;
        default:
            break;
    }
}

TUsageError CheckCombination(const TOptions& options) {
    if (options.Help || options.Version)
        return TUsageError::None;
    if (options.About)
        return options.Files.empty() ? TUsageError::None : TUsageError::AboutWithFiles;
    // --save-settings keeps a backup choice, so it needs one.
    if (options.SaveSettings && !options.Backup)
        return TUsageError::SaveWithoutChoice;
    if (!options.Output.empty() && !options.OutputDir.empty())
        return TUsageError::OutputAndFolder;
    if (options.Restore && (!options.Output.empty() || !options.OutputDir.empty() || options.DryRun))
        return TUsageError::RestoreWithOthers;
    // --save-settings alone changes the kept backup choice without patching anything.
    if (options.Files.empty())
        return options.SaveSettings ? TUsageError::None : TUsageError::NoFiles;
    if (!options.Output.empty() && (options.Files.size() > 1 || options.Recursive))
        return TUsageError::OutputWithSeveral;
    return TUsageError::None;
}

}  // namespace

TParsed ParseArguments(const std::vector<std::string>& args) {
    TParsed parsed;
    for (const std::string& arg : args)
        if (arg.empty()) {
            parsed.Error = TUsageError::EmptyArgument;
            return parsed;
        }
    // getopt_long wants a writable argv; the copies live as long as the parse.
    std::vector<std::unique_ptr<char[]>> copies;
    std::vector<char*> argv;
    const auto add = [&](const std::string& text) {
        copies.push_back(std::make_unique<char[]>(text.size() + 1));
        text.copy(copies.back().get(), text.size());
        copies.back()[text.size()] = '\0';
        argv.push_back(copies.back().get());
    };
    add("grandvue");
    for (const std::string& arg : args)
        add(arg);
    argv.push_back(nullptr);
    const int argc = static_cast<int>(argv.size()) - 1;

    opterr = 0;
    optind = 0;  // 0 makes glibc start afresh, as each parse must
    int optionIndex = 0;
    // "+" stops at the first file, so files and options are taken in order; later options are read below.
    while (true) {
        // In "+" mode nothing is permuted: optind names the argument being read, even inside a bundle.
        const int at = optind > 0 ? optind : 1;
        const std::string current = at < argc ? argv[at] : "";
        const int option = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, &optionIndex);
        if (option == -1) {
            const int next = optind;
            // The files so far; then options may follow again ("game.jar -v"), unless "--" ended them.
            const bool ended = next > 0 && std::string(argv[next - 1]) == "--";
            if (next >= argc)
                break;
            if (ended) {
                for (int i = next; i < argc; ++i)
                    parsed.Options.Files.push_back(argv[i]);
                break;
            }
            parsed.Options.Files.push_back(argv[next]);
            optind = next + 1;
            continue;
        }
        if (option == '?' || option == ':') {
            const bool longOne = current.rfind("--", 0) == 0;
            parsed.Offender = longOne ? current : std::string("-") + static_cast<char>(optopt);
            parsed.Error = option == ':' ? TUsageError::MissingArgument : TUsageError::UnknownOption;
            return parsed;
        }
        Apply(option, optarg, parsed.Options);
    }
    parsed.Error = CheckCombination(parsed.Options);
    return parsed;
}

}  // namespace cli
