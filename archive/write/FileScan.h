// The input file scan: splits FileSpec lines into folder groups and walks the folders for the writer.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "archive/names/MultiMask.h"
#include "framework/Component.h"
#include "platform/Platform.h"

namespace archive {

enum TFileAttribute {
    fsZeroAttr,
    fsReadOnly,
    fsHidden,
    fsSysFile,
    fsVolumeID,
    fsDirectory,
    fsArchive,
    fsCompressed,
    fsEncrypted
};

// A set of TFileAttribute values.
class TFileAttributes {
public:
    TFileAttributes() = default;
    TFileAttributes(std::initializer_list<TFileAttribute> items) {
        for (TFileAttribute a : items)
            Include(a);
    }
    bool Has(TFileAttribute a) const { return (FBits & Bit(a)) != 0; }
    void Include(TFileAttribute a) { FBits |= Bit(a); }
    void Exclude(TFileAttribute a) { FBits &= ~Bit(a); }
    friend bool operator==(const TFileAttributes&, const TFileAttributes&) = default;

private:
    static uint32_t Bit(TFileAttribute a) { return 1u << static_cast<unsigned>(a); }
    uint32_t FBits = 0;
};

// The set every scan and writer starts with.
TFileAttributes DefaultScanAttributes();

// Attribute test of a file's bits against a set; `notIndexedPasses` lets bit 0x2000 pass on its own
// (the include test has that rule, the exclude test has not).
bool AttributesPass(uint32_t attr, const TFileAttributes& set, bool notIndexedPasses);

// One folder and its masks, as a group of FileSpec lines yields them.
struct TFolderGroup {
    std::string Folder;  // ends with the path delimiter
    std::vector<std::string> Masks;
};

// Takes the first line's folder group out of non-blank FileSpec lines: every line of the same folder
// (compared without regard to case) is merged into it and removed; a mask already covered by one of the
// group's masks adds nothing, a wider one replaces the first narrower one. `defaultFolder` stands for
// the folder of a line that has none.
TFolderGroup TakeFolderGroup(std::vector<std::string>& lines, const std::string& defaultFolder);

// One result of a stand-alone scan.
struct TFileObject {
    std::string Name;  // empty for a folder
    std::string Folder;
    uint32_t SizeLo = 0, SizeHi = 0;
    uint32_t Attr = 0;
    uint32_t DosDateTime = 0;  // date in the high word, time in the low word, local time
};

enum TSortOrder { soUnsort, soByName, soByType, soBySize, soByTime, soByPath };

using TFilesList = std::vector<TFileObject>;
using TScanEntryEvent = std::function<bool(const std::string& folder, const platform::TFindData& data)>;
using TScanFileEvent =
    std::function<void(fw::TObject* sender, const std::string& fileName, int32_t filesCount, int64_t filesSize)>;
using TScanFolderEvent = std::function<void(fw::TObject* sender, const std::string& folder)>;
using TScanFinishedEvent = std::function<void(fw::TObject* sender, int32_t filesCount, int64_t filesSize)>;

class TFileScan : public fw::TComponent {
public:
    explicit TFileScan(fw::TComponent* owner = nullptr);

    const std::vector<std::string>& FileSpec() const { return FFileSpec; }
    void SetFileSpec(const std::vector<std::string>& lines);  // also clears the single-line mask list
    // The single-line mask list: masks separated by "," below RootDir (stand-alone use).
    const std::string& FileSpecLine() const { return FFileSpecLine; }
    void SetFileSpecLine(const std::string& line) { FFileSpecLine = line; }
    const std::string& RootDir() const { return FRootDir; }
    void SetRootDir(const std::string& folder);  // a missing trailing delimiter is added

    TFileAttributes Attributes = DefaultScanAttributes();
    TFileAttributes AttributesEx;
    bool RecurseDirs = true;
    bool IncludeHiddenDirs = false;
    // Takes every file and folder: names beginning with ".", hidden and system files, hidden folders.
    bool IncludeHiddenFiles = false;
    bool UpdateList = true;
    TSortOrder Sorted = soUnsort;

    TScanFileEvent OnScanFile;
    TScanFolderEvent OnRecurseDir;
    TScanFolderEvent OnRootDirChange;
    TScanFinishedEvent OnFinished;
    // Runs after every name the search gives, to keep the owner's messages flowing.
    std::function<void()> OnIdle;
    // Called for every accepted entry; answers whether it was taken. Unassigned: the file joins FilesList().
    TScanEntryEvent OnEntry;

    // Also stops when the owner's (the writer's) cancel flag is set.
    void SetCancelFlag(const bool* flag) { FOwnerCancel = flag; }
    void Stop() { FCancel = true; }

    void Run();

    const TFilesList& FilesList() const { return FFilesList; }
    int32_t FilesCount() const { return FFilesCount; }
    int64_t FilesSize() const { return FFilesSize; }

private:
    bool Cancelled() const { return FCancel || (FOwnerCancel && *FOwnerCancel); }
    void RunGroups();
    void RunSingleLine();
    void RunLines();
    void Walk(const std::string& folder, const TMultiMask* masks, bool recurse);
    bool ShouldDescend(const platform::TFindData& data) const;
    bool Skipped(const std::string& name) const;
    bool AttributesTaken(uint32_t attr) const;
    void Consider(const std::string& folder, const platform::TFindData& data, const TMultiMask* masks);
    bool Take(const std::string& folder, const platform::TFindData& data);
    bool AddToList(const std::string& folder, const platform::TFindData& data);
    void SortList();

    std::vector<std::string> FFileSpec;
    std::string FFileSpecLine = "*";
    std::string FRootDir;
    bool FCancel = false;
    const bool* FOwnerCancel = nullptr;
    TFilesList FFilesList;
    int32_t FFilesCount = 0;
    int64_t FFilesSize = 0;
};

// The folder part of a path: everything up to and including its last delimiter (or drive colon).
std::string ExtractFolder(const std::string& path);

}  // namespace archive
