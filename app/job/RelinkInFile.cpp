// A class file read whole, rewritten in memory and written back in its place.
#include "app/job/RelinkInFile.h"

#include <vector>

#include "classfile/SuperRelink.h"
#include "framework/Streams.h"
#include "platform/Platform.h"

namespace app {

bool RelinkInFile(const std::string& fileName, const std::string& from, const std::string& to, std::string& why) {
    fw::TMemoryStream original;
    {
        fw::TFileStream in(fileName, platform::fmOpenRead | platform::fmShareDenyWrite);
        original.LoadFromStream(in);
    }
    std::vector<uint8_t> rebuilt;
    const classfile::TStatus status = classfile::RelinkSuper(original.Bytes(), from, to, rebuilt);
    if (!status.Ok()) {
        why = status.Reason;
        return false;
    }
    fw::TFileStream out(fileName, platform::fmOpenReadWrite | platform::fmShareExclusive);
    out.WriteBuffer(rebuilt.data(), static_cast<int32_t>(rebuilt.size()));
    return true;
}

}  // namespace app
