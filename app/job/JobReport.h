// What one patch job did, for front ends that say more than the log: the command line's summary,
// its reasons for a failure and its verbose lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

// Why a job stopped; jfNone when it ended normally.
enum class TJobFailure {
    jfNone,
    jfNotFound,              // the chosen file does not exist
    jfAccessDenied,          // it cannot be read, or its folder cannot be written
    jfIsFolder,              // a folder was chosen
    jfNotArchive,            // not a ZIP/JAR archive
    jfDamaged,               // an entry cannot be read back (Entry names it)
    jfUnsupportedMethod,     // an entry uses a compression method the engine does not read (Entry names it)
    jfEncrypted,             // an entry is encrypted (Entry names it)
    jfNameNotRepresentable,  // an entry's UTF-8 name has no form on this system (Entry names it)
    jfDiskFull,
    jfReadOnlyFolder,  // the jar's folder cannot be written
    jfCheckFailed,     // the rebuilt archive did not prove complete (Entry names the first entry concerned)
    jfRelinkRefused,   // a screen class cannot be made to extend the full-screen canvas (Entry names it)
    jfBackupFailed,
    jfInterrupted,  // a signal or the window's close stopped the job at a safe point
    jfOther,
};

// The job's failure for a platform error code (a run-time I/O error's code).
TJobFailure FailureOfSystemError(uint32_t code);

struct TChangedClass {
    std::string Name;  // the class file's path inside the archive
    int Replacements = 0;
};

// What a job that did not fail did to the game.
enum class TJobOutcome {
    joPatched,
    joNoCanvas,        // no class names the canvas: the jar and its companions left as they were
    joAlreadyPatched,  // the program's own full-screen canvas is there and nothing is left to patch
};

// How the classes were changed.
enum class TPatchRuleUsed {
    prSubstitute,  // every mention of the canvas names the full-screen canvas
    prSuperLink,   // the game also has screens of another canvas kind: only the super links changed
};

struct TJobReport {
    std::string Archive;  // the archive as chosen
    TJobOutcome Outcome = TJobOutcome::joPatched;
    TPatchRuleUsed Rule = TPatchRuleUsed::prSubstitute;
    std::string OtherKind;  // the other canvas kind the game's screens extend, as shown; empty when none
    std::string Detail;     // a short English note on a failure (why a class cannot be relinked)
    TJobFailure Failure = TJobFailure::jfNone;
    std::string Entry;    // the entry concerned by a failure, when there is one
    int SystemError = 0;  // the platform error code behind a failure, when there is one
    std::vector<TChangedClass> ChangedClasses;
    int Replacements = 0;     // occurrences replaced over all classes
    std::string JadPath;      // the .jad beside the jar, when there is one
    bool JadUpdated = false;  // the .jad beside the jar got the new MIDlet-Jar-Size
    bool JadSignatureRemoved = false;
    bool JadFailed = false;      // a .jad was there but could not be updated (the jar is patched)
    bool JarSigned = false;      // the jar holds signature files that no longer hold
    std::string JadOtherJarUrl;  // the .jad beside it was left alone: its MIDlet-Jar-URL names this other jar
    bool JadSizeAdded = false;   // the .jad had no MIDlet-Jar-Size line: one was added
};

}  // namespace app
