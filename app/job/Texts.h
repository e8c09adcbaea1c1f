// The job's user-visible texts in the program's two languages: Russian (Windows-1251 bytes, the
// program's own texts) and English (ASCII). The desktop program always speaks Russian; the command
// line chooses from the locale before the first job.
#pragma once

#include <initializer_list>
#include <string>

namespace app {

enum class TLanguage { Russian, English };

void SetLanguage(TLanguage language);
TLanguage Language();

enum class TText {
    LogInit,
    LogBackup,
    LogExtract,
    LogClasses,
    LogPayload,
    LogPack,
    LogJad,
    LogCleanup,
    LogDone,
    // Why a job stopped with the user's archive untouched; "%s" is the archive.
    BackupFailed,
    ExtractFailed,
    PackFailed,
    CheckFailed,  // "%s" the archive, then the first entry concerned
    Interrupted,
    Busy,
    // Said after a job that patched the jar; "%s" is the .jad or the jar.
    JadSignatureRemoved,
    JadFailed,
    JarSigned,
    // Why the job left the jar as it was (a log line, no failure); "%s" the other canvas kind.
    LeftNoCanvas,
    LeftOtherKind,
    LeftPatched,
    // The rule for a game with screens of another canvas kind too; "%s" that kind.
    LogSuperLink,
    // A screen class the super-link rewrite refuses; "%s" the archive.
    RelinkFailed,
    // The last line of a log of several jars: how many were patched, left unchanged and failed.
    BatchSummary,
};

// The text in the current language.
const char* Text(TText id);
// The text with each "%s" replaced by the next argument; in UTF-8 when an argument (a path, an entry) is.
std::string TextWith(TText id, std::initializer_list<std::string> args);

}  // namespace app
