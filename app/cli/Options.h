// The command line's options, parsed in the usual style (short options bundled, "--" ends them).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class TVerbosity { Quiet, Normal, Verbose };

struct TOptions {
    std::optional<bool> Backup;  // unset: as the settings file says
    TVerbosity Verbosity = TVerbosity::Normal;
    bool SaveSettings = false;
    bool About = false;
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Files;  // as given, in order
};

enum class TUsageError { None, UnknownOption, EmptyArgument, AboutWithFiles, NoFiles };

struct TParsed {
    TOptions Options;
    TUsageError Error = TUsageError::None;
    std::string Offender;  // the unknown option, as the user wrote it ("-x" for a bundled x)
};

// The arguments after the program name. Help and version win over a missing file; an unknown option
// or an empty argument wins over everything. Files may be left out only with --save-settings.
TParsed ParseArguments(const std::vector<std::string>& args);

}  // namespace cli
