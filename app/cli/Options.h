// The command line's options, parsed by getopt_long (short options bundled, long ones by any unambiguous prefix).
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
    bool DryRun = false;             // look only: say what a run would do
    bool Restore = false;            // put the backups back
    bool Recursive = false;          // the files are folders to search for jars
    bool Force = false;              // an existing output file may be replaced
    std::string Output;              // -o: the patched jar's path (one jar)
    std::string OutputDir;           // -d: the folder for the patched jars
    std::vector<std::string> Files;  // as given, in order
};

enum class TUsageError {
    None,
    UnknownOption,
    MissingArgument,
    EmptyArgument,
    AboutWithFiles,
    NoFiles,
    SaveWithoutChoice,
    OutputWithSeveral,
    OutputAndFolder,
    RestoreWithOthers,
};

struct TParsed {
    TOptions Options;
    TUsageError Error = TUsageError::None;
    std::string Offender;  // the unknown option, as the user wrote it ("-x" for a bundled x)
};

// The arguments after the program name. Help and version win over a missing file; an unknown option
// or an empty argument wins over everything. Files may be left out only with --save-settings.
TParsed ParseArguments(const std::vector<std::string>& args);

}  // namespace cli
