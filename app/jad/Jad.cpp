// The .jad beside a patched jar: found by the jar's base name, given the new size and unsigned, replaced in one
// step, with a backup first when the user asked for backups.
#include <initializer_list>

#include "app/jad/Jad.h"
#include "app/jad/JadFile.h"
#include "platform/Platform.h"
#include "platform/WholeFile.h"

namespace app {

namespace {
const char kJadExtension[] = "jad";
const char kJadExtensionUpper[] = "JAD";
const char kBackupSuffix[] = ".bak";

bool IsJarExtension(const std::string& ext) {
    return ext.size() == 3 && (ext[0] | 0x20) == 'j' && (ext[1] | 0x20) == 'a' && (ext[2] | 0x20) == 'r';
}

// "jar" → "jad" letter for letter, so "GAME.JAR" looks for "GAME.JAD" and "Game.Jar" for "Game.Jad" first.
std::string MirroredExtension(const std::string& ext) {
    return {ext[0], ext[1], ext[2] == 'R' ? 'D' : 'd'};
}

TJadResult& Fail(TJadResult& result, TJadFailure failure, uint32_t systemError) {
    result.Failure = failure;
    result.SystemError = systemError;
    return result;
}

// An existing backup is kept: it may be the only copy of the descriptor as it first was.
bool MakeBackup(const std::string& jadPath, const std::string& text) {
    const std::string backupPath = jadPath + kBackupSuffix;
    const TEntryKind kind = EntryKindOf(backupPath);
    if (kind != TEntryKind::ekMissing) {
        platform::SetLastError(platform::kErrorAlreadyExists);
        return kind == TEntryKind::ekFile;
    }
    return WriteFileDurably(backupPath, text, jadPath, false) || EntryKindOf(backupPath) == TEntryKind::ekFile;
}
}  // namespace

std::string FindJadBeside(const std::string& jarPath) {
    const size_t nameStart = NameStart(jarPath);
    const size_t dot = jarPath.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    const std::string base = hasExtension ? jarPath.substr(0, dot + 1) : jarPath + '.';
    const std::string ext = hasExtension ? jarPath.substr(dot + 1) : std::string();
    const std::string first = IsJarExtension(ext) ? MirroredExtension(ext) : kJadExtension;
    for (const std::string& candidate : {first, std::string(kJadExtension), std::string(kJadExtensionUpper)}) {
        if (EntryKindOf(base + candidate) != TEntryKind::ekMissing)
            return base + candidate;
    }
    return {};
}

TJadResult UpdateJadBeside(const std::string& jarPath, uint64_t newJarSize, bool backup, bool jarBytesChanged) {
    TJadResult result;
    result.Path = FindJadBeside(jarPath);
    result.Found = !result.Path.empty();
    if (!result.Found)
        return result;
    if (EntryKindOf(result.Path) != TEntryKind::ekFile)
        return Fail(result, TJadFailure::jdNotRegular, 0);
    std::string text;
    bool tooLarge = false;
    if (!platform::ReadSmallFile(result.Path, kMaxJadSize, text, tooLarge))
        return tooLarge ? Fail(result, TJadFailure::jdTooLarge, 0)
                        : Fail(result, TJadFailure::jdUnreadable, platform::LastError());
    const TJadEdit edit = EditJadText(text, jarPath.substr(NameStart(jarPath)), newJarSize, jarBytesChanged);
    result.NamesOtherJar = !edit.NamesThisJar;
    result.OtherJarUrl = edit.OtherJarUrl;
    if (!edit.Changed)
        return result;
    // Windows refuses to replace a read-only file; the POSIX side is held to the same rule.
    if (platform::GetFileAttributes(result.Path) & platform::faReadOnly)
        return Fail(result, TJadFailure::jdWriteFailed, platform::kErrorAccessDenied);
    if (backup && !MakeBackup(result.Path, text))
        return Fail(result, TJadFailure::jdBackupFailed, platform::LastError());
    if (!WriteFileDurably(result.Path, edit.Text, result.Path, true))
        return Fail(result, TJadFailure::jdWriteFailed, platform::LastError());
    result.Updated = true;
    result.SignatureRemoved = edit.SignatureRemoved;
    result.SizeAdded = edit.SizeAdded;
    return result;
}

}  // namespace app
