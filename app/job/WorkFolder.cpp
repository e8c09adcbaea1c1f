// Making and removing the run's own work folder.
#include "app/job/WorkFolder.h"

#include "framework/Exceptions.h"
#include "platform/Platform.h"

namespace app {

namespace {
const char kRunPrefix[] = "grandvue-";
// Removed at once and quietly: the folder holds only this run's files, nothing worth a recycle bin.
constexpr uint16_t kRemoveFlags = platform::FOF_NOCONFIRMATION | platform::FOF_SILENT | platform::FOF_NOERRORUI;

std::string WithoutDelimiter(std::string path) {
    while (path.size() > 1 && path.back() == platform::PathDelim)
        path.pop_back();
    return path;
}

#ifdef _WIN32
const char kBesideProgram[] = "temp";

// "temp" beside the program when it is (or can be made) a folder; empty when not (a file of that name,
// a folder the user cannot write).
std::string FolderBesideProgram() {
    const std::string folder = ExeFolder() + platform::PathDelim + kBesideProgram;
    if (!platform::DirectoryExists(folder) && !platform::CreateDirectory(folder))
        return {};
    return folder;
}
#endif

std::string MakeRunFolder() {
#ifdef _WIN32
    const std::string beside = FolderBesideProgram();
    if (!beside.empty()) {
        const std::string path = platform::CreateUniqueDirectory(beside, kRunPrefix);
        if (!path.empty())
            return path;
    }
#endif
    return platform::CreateUniqueDirectory(WithoutDelimiter(platform::GetTempPath()), kRunPrefix);
}
}  // namespace

TRunFolder::TRunFolder() : FPath(MakeRunFolder()) {
    fw::InOutCheck(!FPath.empty());
}

TRunFolder::~TRunFolder() {
    const std::string list = FPath + '\0' + '\0';
    platform::ShellDelete(list.c_str(), kRemoveFlags);
}

std::string TRunFolder::Join(const std::string& name) const {
    return FPath + platform::PathDelim + name;
}

std::string ExeFolder() {
    const std::string exe = platform::ExeName();
    const auto slash = exe.find_last_of(platform::PathDelim);
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

}  // namespace app
