// Checks through stat and access, so each reason gets its own message instead of the job's general one.
#include "app/cli/Precheck.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Paths.h"

namespace cli {

app::TJobFailure CheckBeforeJob(const std::string& path) {
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
    // The new archive is built beside the old one and renamed over it: the folder must take new files.
    if (access(platform::FolderOf(path).c_str(), W_OK | X_OK) != 0)
        return app::TJobFailure::jfReadOnlyFolder;
    return app::TJobFailure::jfNone;
}

}  // namespace cli
