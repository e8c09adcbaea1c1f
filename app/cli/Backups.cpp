// Backups through the platform's durable moves, so a crash leaves the patched file or the restored one.
#include "app/cli/Backups.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "app/cli/Messages.h"
#include "app/jad/Jad.h"
#include "platform/Paths.h"
#include "platform/Platform.h"

namespace cli {

namespace {
const char kBak[] = ".bak";

bool Exists(const std::string& path) {
    struct stat info = {};
    return lstat(path.c_str(), &info) == 0;
}

// The .jad beside the jar that a backup was made of: the one there now, or the jar's base name with ".jad".
std::string JadOf(const std::string& jarPath) {
    const std::string jad = app::FindJadBeside(jarPath);
    if (!jad.empty())
        return jad;
    const size_t dot = jarPath.find_last_of('.');
    const size_t slash = jarPath.find_last_of('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? jarPath.substr(0, dot) : jarPath) + ".jad";
}

bool PutBack(const std::string& backup, const std::string& path) {
    return platform::ReplaceFileDurably(backup, path);
}
}  // namespace

std::string BackupDate(const std::string& path) {
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0)
        return "";
    char text[32] = {};
    struct tm local = {};
    localtime_r(&info.st_mtime, &local);
    std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string ShownBackup(const TJar& jar) {
    const std::string named = platform::ExpandFileName(jar.Shown);
    return platform::FolderOf(named) == platform::FolderOf(jar.Path) ? jar.Shown + kBak : jar.Path + kBak;
}

bool RestoreJar(const TJar& jar, std::string& said, std::string& warned) {
    const std::string backup = jar.Path + kBak;
    const std::string shownBackup = ShownBackup(jar);
    if (!Exists(backup)) {
        warned = Msg(TMsg::NoBackupToRestore, {jar.Shown, shownBackup});
        return false;
    }
    if (!PutBack(backup, jar.Path)) {
        warned = Msg(TMsg::RestoreFailed, {jar.Shown, shownBackup, std::strerror(errno)});
        return false;
    }
    said = Msg(TMsg::Restored, {jar.Shown, shownBackup});
    const std::string jad = JadOf(jar.Path);
    if (Exists(jad + kBak)) {
        if (PutBack(jad + kBak, jad))
            said += "\n" + Msg(TMsg::Restored, {jad, jad + kBak});
        else
            warned = Msg(TMsg::RestoreFailed, {jad, jad + kBak, std::strerror(errno)});
    }
    return true;
}

}  // namespace cli
