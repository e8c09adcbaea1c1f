// The jar's companions: the .jad descriptor beside it (new jar size, signature dropped) and the jar's own signature.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

// A descriptor is a few hundred bytes; anything past this is not one, and is left alone.
constexpr uint64_t kMaxJadSize = 1024 * 1024;

// What the text transform made of a .jad.
struct TJadEdit {
    std::string Text;               // the new text; the old one when NamesThisJar is false
    bool NamesThisJar = false;      // its MIDlet-Jar-URL names the jar, or it has none
    std::string OtherJarUrl;        // when it names another jar: the MIDlet-Jar-URL value
    bool SizeSet = false;           // it has a MIDlet-Jar-Size, now giving the new size
    bool SizeAdded = false;         // it had none: a MIDlet-Jar-Size line with the new size was added
    bool SignatureRemoved = false;  // MIDlet-Jar-RSA-SHA1 / MIDlet-Certificate-… lines were dropped
    bool Changed = false;           // Text differs from the old text
};

// Gives every MIDlet-Jar-Size attribute the value `jarSize` and, when `jarBytesChanged` (the signature no
// longer matches), drops the signature attributes (with any continuation lines), keeping every other byte:
// order, spacing, line ends, a byte-order mark, a last line without an end. A text without MIDlet-Jar-Size
// gets one right after MIDlet-Jar-URL, or at the end without a URL, ending in the text's first line end
// (LF when it has none) where a line end follows. Attribute names compare exactly (MIDP names are
// case-sensitive). A text whose MIDlet-Jar-URL names another jar comes back as it was. `jarName` is the
// jar's file name, no folder.
TJadEdit EditJadText(const std::string& text, const std::string& jarName, uint64_t jarSize, bool jarBytesChanged);

// True when MIDlet-Jar-URL's value names `jarName`: its last part after '/' or '\', without query or
// fragment, equal to the name without regard to ASCII case (taken as written or percent-decoded).
bool JarUrlNames(const std::string& url, const std::string& jarName);

// True when the archive holds signature files of its own (META-INF/*.SF, *.RSA, *.DSA, *.EC, any case),
// which a patch invalidates. Takes the original archive's entry names.
bool IsSignedJar(const std::vector<std::string>& entryNames);

// Why a .jad beside the jar was left as it was.
enum class TJadFailure {
    jdNone,
    jdNotRegular,    // a folder, a link or another non-file
    jdTooLarge,      // larger than kMaxJadSize
    jdUnreadable,    // it could not be read
    jdBackupFailed,  // its .jad.bak could not be made, so it was not touched
    jdWriteFailed,   // the new text could not be written in its place (read-only file or folder, disk full, …)
};

struct TJadResult {
    std::string Path;               // the .jad found, empty when there is none
    bool Found = false;             // a .jad with the jar's base name lies beside it
    bool NamesOtherJar = false;     // its MIDlet-Jar-URL names another jar: left as it was
    std::string OtherJarUrl;        // that MIDlet-Jar-URL value
    bool Updated = false;           // rewritten in place (new size, signature dropped, or both)
    bool SizeAdded = false;         // part of the update: it had no MIDlet-Jar-Size, one was added
    bool SignatureRemoved = false;  // part of the update: the phone installs the game unsigned
    TJadFailure Failure = TJadFailure::jdNone;
    uint32_t SystemError = 0;  // the platform's error code behind a failure, when there is one
};

// The .jad beside `jarPath` with the jar's base name ("game.jad" for "game.jar"; on POSIX also "game.JAD"
// and the jar extension's own case), empty when there is none. Any kind of directory entry counts.
std::string FindJadBeside(const std::string& jarPath);

// After a successful patch: updates the .jad beside `jarPath` for a jar of `newJarSize` bytes. With `backup`,
// a missing "<jad>.bak" is made first (an existing one is kept). The .jad is replaced in one step (written
// under a temporary name, flushed, renamed over it, its permission bits kept), so it is never half-written.
// The signature lines go only when `jarBytesChanged` (see EditJadText).
// Never creates a .jad and never throws; a .jad that needs no change is not rewritten.
TJadResult UpdateJadBeside(const std::string& jarPath, uint64_t newJarSize, bool backup, bool jarBytesChanged = true);

}  // namespace app
