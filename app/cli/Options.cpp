// Option parsing for the command line: long and short forms, bundles such as -bq, and "--".
#include "app/cli/Options.h"

namespace cli {

namespace {

struct TOptionName {
    char Short;  // 0: long form only
    const char* Long;
    void (*Apply)(TOptions&);
};

const TOptionName kOptions[] = {
    {'b', "backup", [](TOptions& o) { o.Backup = true; }},
    {'n', "no-backup", [](TOptions& o) { o.Backup = false; }},
    {'q', "quiet", [](TOptions& o) { o.Verbosity = TVerbosity::Quiet; }},
    {'v', "verbose", [](TOptions& o) { o.Verbosity = TVerbosity::Verbose; }},
    {'h', "help", [](TOptions& o) { o.Help = true; }},
    {'V', "version", [](TOptions& o) { o.Version = true; }},
    {0, "save-settings", [](TOptions& o) { o.SaveSettings = true; }},
    {0, "about", [](TOptions& o) { o.About = true; }},
};

const TOptionName* FindLong(const std::string& name) {
    for (const TOptionName& option : kOptions)
        if (name == option.Long)
            return &option;
    return nullptr;
}

const TOptionName* FindShort(char name) {
    for (const TOptionName& option : kOptions)
        if (option.Short != 0 && option.Short == name)
            return &option;
    return nullptr;
}

// One argument that begins with "-"; false (with the offender) when it names an unknown option.
bool ApplyOption(const std::string& arg, TParsed& parsed) {
    if (arg.rfind("--", 0) == 0) {
        const TOptionName* option = FindLong(arg.substr(2));
        if (!option) {
            parsed.Offender = arg;
            return false;
        }
        option->Apply(parsed.Options);
        return true;
    }
    for (size_t i = 1; i < arg.size(); ++i) {
        const TOptionName* option = FindShort(arg[i]);
        if (!option) {
            parsed.Offender = std::string("-") + arg[i];
            return false;
        }
        option->Apply(parsed.Options);
    }
    return true;
}

TUsageError CheckCombination(const TOptions& options) {
    if (options.Help || options.Version)
        return TUsageError::None;
    if (options.About)
        return options.Files.empty() ? TUsageError::None : TUsageError::AboutWithFiles;
    // --save-settings alone changes the kept backup choice without patching anything.
    return options.Files.empty() && !options.SaveSettings ? TUsageError::NoFiles : TUsageError::None;
}

}  // namespace

TParsed ParseArguments(const std::vector<std::string>& args) {
    TParsed parsed;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (arg.empty()) {
            parsed.Error = TUsageError::EmptyArgument;
            return parsed;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (!ApplyOption(arg, parsed)) {
                parsed.Error = TUsageError::UnknownOption;
                return parsed;
            }
        } else {
            // A lone "-" is a file name like any other.
            parsed.Options.Files.push_back(arg);
        }
    }
    parsed.Error = CheckCombination(parsed.Options);
    return parsed;
}

}  // namespace cli
