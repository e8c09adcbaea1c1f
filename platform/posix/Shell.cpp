// The shell's delete (the whole tree, no recycle bin) and open (handed to xdg-open).
#include <dirent.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/Posix.h"

extern char** environ;

namespace platform {

namespace {
constexpr intptr_t kShellOk = 42;             // any value above 32 means the shell took the request
constexpr intptr_t kShellNoAssociation = 31;  // SE_ERR_NOASSOC: nothing could open the file

// Removes a file or a folder with everything below it, never following symbolic links.
bool RemoveTree(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return posix::Fail(errno, path);
    if (!S_ISDIR(st.st_mode))
        return ::unlink(path.c_str()) == 0 || posix::Fail(errno, path);
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return posix::Fail(errno, path);
    bool ok = true;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        ok = RemoveTree(path + "/" + entry->d_name) && ok;
    }
    ::closedir(dir);
    return ok && (::rmdir(path.c_str()) == 0 || posix::Fail(errno, path));
}
}  // namespace

// Every name of the list is removed; the result is the error code of the first that failed.
int ShellDelete(const char* doubleNulList, uint16_t) {
    uint32_t result = kErrorSuccess;
    for (const char* name = doubleNulList; name && *name; name += std::strlen(name) + 1)
        if (!RemoveTree(name) && result == kErrorSuccess)
            result = LastError();
    return static_cast<int>(result);
}

// Runs xdg-open in the background through a short-lived shell, so no child is left to reap.
intptr_t ShellExecute(const std::string& verb,
                      const std::string& file,
                      const std::string& params,
                      const std::string& dir,
                      int) {
    if (!verb.empty() && verb != "open")
        return kShellNoAssociation;
    const std::string script = (dir.empty() ? std::string() : "cd \"$3\" && ") +
                               "command -v xdg-open >/dev/null || exit 1; xdg-open \"$1\" $2 >/dev/null 2>&1 &";
    const char* argv[] = {"sh", "-c", script.c_str(), "sh", file.c_str(), params.c_str(), dir.c_str(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return kShellNoAssociation;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? kShellOk : kShellNoAssociation;
}

}  // namespace platform
