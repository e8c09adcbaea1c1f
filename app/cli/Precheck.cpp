// Checks through stat and access, so each reason gets its own message instead of the job's general one.
#include "app/cli/Precheck.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "app/cli/Messages.h"

#include "platform/Paths.h"
#include "platform/Platform.h"

namespace cli {

app::TJobFailure CheckBeforeJob(const std::string& path, const std::string& target) {
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return app::TJobFailure::jfNotFound;
        if (errno == EACCES)
            return app::TJobFailure::jfAccessDenied;
        return app::TJobFailure::jfNone;  // anything else is the job's to report
    }
    if (S_ISDIR(info.st_mode))
        return app::TJobFailure::jfIsFolder;
    // A pipe or a device is no archive, and reading one could wait for ever.
    if (!S_ISREG(info.st_mode))
        return app::TJobFailure::jfNotArchive;
    if (access(path.c_str(), R_OK) != 0)
        return app::TJobFailure::jfAccessDenied;
    // The new archive is built beside the file it replaces and renamed over it: that folder must take new files.
    if (access(platform::FolderOf(target.empty() ? path : target).c_str(), W_OK | X_OK) != 0)
        return app::TJobFailure::jfReadOnlyFolder;
    return app::TJobFailure::jfNone;
}

std::string TemporaryFolder() {
    std::string folder = platform::GetTempPath();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string WorkFolderProblem() {
    const std::string folder = TemporaryFolder();
    struct stat info = {};
    if (stat(folder.c_str(), &info) != 0)
        return Msg(errno == EACCES ? TMsg::PermissionDenied : TMsg::NoSuchFolder);
    if (!S_ISDIR(info.st_mode))
        return Msg(TMsg::NotAFolder);
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return Msg(TMsg::PermissionDenied);
    return "";
}

bool WorkDiskIsFull(const std::string& jarPath) {
    // Room for the unpacked game and the new jar: the jar's size twice, and a little for the folders.
    constexpr unsigned long long kSlack = 1 << 20;
    struct stat work = {}, jar = {};
    struct statvfs jarDisk = {};
    if (stat(TemporaryFolder().c_str(), &work) != 0 || stat(jarPath.c_str(), &jar) != 0 ||
        statvfs(platform::FolderOf(jarPath).c_str(), &jarDisk) != 0 || work.st_dev == jar.st_dev)
        return false;
    const unsigned long long room = static_cast<unsigned long long>(jarDisk.f_bavail) * jarDisk.f_frsize;
    return room >= 2ULL * static_cast<unsigned long long>(jar.st_size) + kSlack;
}

}  // namespace cli
