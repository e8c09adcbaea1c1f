// Write beside, then rename durably: the steps every caller shares, in one order.
#include "platform/WriteBeside.h"

#include <utility>

#include "platform/Paths.h"

namespace platform {

namespace {
// Deletes the temporary file on every way out but success, keeping the error code of what failed.
class TTemporary {
public:
    explicit TTemporary(std::string path) : FPath(std::move(path)) {}
    TTemporary(const TTemporary&) = delete;
    TTemporary& operator=(const TTemporary&) = delete;
    ~TTemporary() {
        if (FPath.empty())
            return;
        const uint32_t error = LastError();
        DeleteFile(FPath);
        SetLastError(error);
    }
    void Keep() { FPath.clear(); }

private:
    std::string FPath;
};

bool GiveRights(THandle h, const TBesideRule& rule) {
    if (rule.Model.empty())
        return true;
    if (rule.ModelMayBeMissing && GetFileAttributes(rule.Model) == kInvalidAttributes)
        return true;
    return CopyPermissions(rule.Model, h);
}

bool Settle(TBesideFile& file, const std::string& target, const TBesideRule& rule) {
    const THandle h = file.Handle();
    if (h == kInvalidHandle || !GiveRights(h, rule) || !FileFlush(h) || !file.Close())
        return false;
    return rule.Replace ? ReplaceFileDurably(file.Path(), target) : MoveFileDurably(file.Path(), target);
}
}  // namespace

THandle TBesideFile::Handle() {
    if (!FFile.Valid())
        FFile = TFileHandle(FileOpen(FPath, fmOpenReadWrite | fmShareExclusive));
    return FFile.Get();
}

bool WriteBeside(const std::string& target, const TWriteStep& write, const TBesideRule& rule) {
    const std::string temp = GetTempFileName(FolderOf(target), rule.Prefix);
    if (temp.empty())
        return false;
    TTemporary guard(temp);  // declared before the file, so the handle is closed before the name goes
    TBesideFile file(temp);
    if (!write(file) || !Settle(file, target, rule))
        return false;
    guard.Keep();
    return true;
}

bool SettleBeside(const std::string& path, const std::string& target, const TBesideRule& rule) {
    TBesideFile file(path);
    return Settle(file, target, rule);
}

}  // namespace platform
