// Folder removal through the shell's delete operation.
#include "app/job/DeleteFolder.h"

#include <cstddef>

#include "platform/Platform.h"

namespace app {

namespace {
constexpr uint16_t kDeleteFlags = platform::FOF_ALLOWUNDO | platform::FOF_NOCONFIRMATION | platform::FOF_SILENT;
constexpr size_t kListBufferSize = 256;  // the request's name buffer: one name and the two closing NULs
}  // namespace

bool DeleteFolder(const std::string& name) {
    // A NUL inside the name would split it into several names of the shell's list.
    if (name.empty() || name.find('\0') != std::string::npos)
        return false;
    if (name.size() + 2 > kListBufferSize)
        return false;  // would not fit the request; never cut or overrun
    try {
        const std::string list = name + '\0' + '\0';  // the shell's list ends with an empty name
        return platform::ShellDelete(list.c_str(), kDeleteFlags) == 0;
    } catch (...) {  // no memory for the name list or the walk's paths: reported as not removed, as any failure
        return false;
    }
}

}  // namespace app
