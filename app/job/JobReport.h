// What one patch job did, for front ends that say more than the log: the command line's summary,
// its reasons for a failure and its verbose lines.
#pragma once

#include <string>
#include <vector>

namespace app {

// Why a job stopped; jfNone when it ended normally.
enum class TJobFailure {
    jfNone,
    jfNotFound,           // the chosen file does not exist
    jfAccessDenied,       // it cannot be read, or its folder cannot be written
    jfIsFolder,           // a folder was chosen
    jfNotArchive,         // not a ZIP/JAR archive
    jfDamaged,            // an entry cannot be read back (Entry names it)
    jfUnsupportedMethod,  // an entry uses a compression method the engine does not read (Entry names it)
    jfDiskFull,
    jfReadOnlyFolder,  // the jar's folder cannot be written
    jfCheckFailed,     // the rebuilt archive did not prove complete (Entry names the first entry concerned)
    jfBackupFailed,
    jfInterrupted,  // a signal or the window's close stopped the job at a safe point
    jfOther,
};

struct TChangedClass {
    std::string Name;  // the class file's path inside the archive
    int Replacements = 0;
};

struct TJobReport {
    std::string Archive;  // the archive as chosen
    TJobFailure Failure = TJobFailure::jfNone;
    std::string Entry;    // the entry concerned by a failure, when there is one
    int SystemError = 0;  // the platform error code behind a failure, when there is one
    std::vector<TChangedClass> ChangedClasses;
    int Replacements = 0;     // occurrences replaced over all classes
    std::string JadPath;      // the .jad beside the jar, when there is one
    bool JadUpdated = false;  // the .jad beside the jar got the new MIDlet-Jar-Size
    bool JadSignatureRemoved = false;
    bool JadFailed = false;  // a .jad was there but could not be updated (the jar is patched)
    bool JarSigned = false;  // the jar holds signature files that no longer hold
};

}  // namespace app
