// A file's new content written beside it and renamed into place, so no failure or crash leaves half a file at
// the real name: the one routine behind the backup copy, the archive's replacement, the .jad and the settings.
#pragma once

#include <functional>
#include <string>

#include "platform/FileHandle.h"
#include "platform/Platform.h"

namespace platform {

// The temporary file a write step fills: its name, and its handle once opened.
class TBesideFile {
public:
    explicit TBesideFile(std::string path) : FPath(std::move(path)) {}
    const std::string& Path() const { return FPath; }
    // The file open for reading and writing, no one else sharing it; opened on first use, so a step that writes
    // by name leaves it closed. kInvalidHandle with LastError() when it cannot be opened.
    THandle Handle();
    bool Close() { return FFile.Close(); }  // false with LastError() when the close failed

private:
    std::string FPath;
    TFileHandle FFile;
};

struct TBesideRule {
    std::string Prefix = {};         // the temporary name's first three characters (GetTempFileName)
    std::string Model = {};          // the file whose rights the new one takes (CopyPermissions); empty: none
    bool ModelMayBeMissing = false;  // a missing model leaves the default rights, else it is a failure
    bool Replace = true;             // over an existing target, else failing where one exists
};

// Fills the new content; false (with LastError()) or an exception when it could not.
using TWriteStep = std::function<bool(TBesideFile& file)>;

// Makes a file under an exclusive temporary name in `target`'s folder, lets `write` fill it, gives it the model's
// rights, flushes it to the disk and renames it to `target` (ReplaceFileDurably, or MoveFileDurably where the
// rule refuses an existing target). False with LastError() on failure; the temporary file is gone then, whether
// a step returned false or `write` threw (the exception goes on).
bool WriteBeside(const std::string& target, const TWriteStep& write, const TBesideRule& rule);

// The last steps alone, for a complete file at `path` on `target`'s volume: rights, flush, rename. False with
// LastError(); `path` is left as it is then (the rule's prefix is not used).
bool SettleBeside(const std::string& path, const std::string& target, const TBesideRule& rule);

}  // namespace platform
