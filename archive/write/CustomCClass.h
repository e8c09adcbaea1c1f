// TCustomCClass: the format-independent writing procedure: file selection, entry list, output, final move.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "archive/ZipCommon.h"
#include "archive/format/DateAttribute.h"
#include "archive/names/EntryNames.h"
#include "archive/write/CompHeaderObj.h"
#include "archive/write/FileScan.h"
#include "framework/Streams.h"

namespace archive {

// Where the new archive is built (the CompressionMethod setting): in memory, or in a temporary file.
enum TOutputKind { cmInMemory, cmTempFile };
enum TSwitch { swAdd, swRefresh, swMove, swDelete, swRead };

using TOnFileScanStatus =
    std::function<void(fw::TObject* Sender, const std::string& FileName, int32_t FilesCount, int64_t FilesSize)>;
using TOnRecurseDir = std::function<void(fw::TObject* Sender, const std::string& Directory)>;
using TOnNonWriteableArchive =
    std::function<void(fw::TObject* Sender, const std::string& ArchiveFile, bool& WriteToFile)>;
using TOnRead = std::function<void(fw::TObject* Sender, int32_t Offset, int32_t Filenum)>;
using TOnRenameDupeFile =
    std::function<void(fw::TObject* Sender, const std::string& FileName, std::string& NewFileName, bool& Rename)>;
// Dates are packed MS-DOS date/time values (date in the high word).
using TOnReplaceFile = std::function<void(fw::TObject* Sender,
                                          const std::string& FileName,
                                          const std::string& NewFileName,
                                          uint32_t Date,
                                          uint32_t NewDate,
                                          int64_t FileSize,
                                          int64_t NewFileSize,
                                          int32_t Attr,
                                          int32_t NewAttr,
                                          bool& Replace)>;
using TOnTmpFileMoveBegin =
    std::function<void(fw::TObject* Sender, const std::string& Archive, const std::string& TempFileName, bool& Cancel)>;
using TOnDeleteFile =
    std::function<void(fw::TObject* Sender, const std::string& FileName, int32_t Count, int32_t MaxCount)>;

class TCustomCClass : public TZipCommon {
public:
    explicit TCustomCClass(fw::TComponent* owner);

    // The number of files written by this call (for swDelete: entries deleted); 0 on failure or cancel.
    int32_t Compress();

    // The temporary folder: the stored one when it exists, else the system's (which is then stored).
    std::string TempDir();
    // While loading only the text is kept; at run time a missing folder is offered for creation.
    void SetTempDir(const std::string& folder);

    std::vector<std::string> ExcludeSpec;
    TFileAttributes Attributes = DefaultScanAttributes();
    TFileAttributes AttributesEx;
    bool IncludeHiddenDirs = false;
    // The scan takes every file: dot names, hidden and system files, hidden folders (see TFileScan).
    bool IncludeHiddenFiles = false;
    TStoredDirNames StoredDirNames = sdRelative;
    std::string DefaultDir;  // the folder stripped by sdExplorer_UserDefineDefaultDir
    bool StoreEmptySubDirs = false;
    TDateAttribute DateAttribute = daFileDate;
    // Stored names (system delimiters, as below the scan's root) to write in UTF-8 with flag bit 11; the
    // reader's Utf8Names gives them for files it extracted.
    std::vector<std::string> Utf8Names;

    TOnFileName OnExcludeFile;
    TOnFileScanStatus OnFileScanStatus;
    TOnRecurseDir OnRecurseDir;
    TOnNonWriteableArchive OnNonWriteableArchive;
    TOnRead OnRead;
    TOnRenameDupeFile OnRenameDupeFile;
    TOnReplaceFile OnReplaceFile;
    TOnDeleteFile OnDeleteFile;
    TOnProgress OnTmpFileProgress;
    TOnTmpFileMoveBegin OnTmpFileMoveBegin;
    fw::TNotifyEvent OnTmpFileMoveEnd;

protected:
    // The format's part, supplied along the chain.
    virtual bool LoadExisting(TCompHeaderObj& list) = 0;                // existing entries, action eaCopy
    virtual bool WriteNewEntry(TCompEntry& entry, int32_t number) = 0;  // false: entry dropped
    virtual bool CopyEntry(TCompEntry& entry, fw::TStream& source) = 0;
    virtual void WriteDirectory() = 0;
    // After the last new entry was written or given up, cancelled or not.
    virtual void NewEntriesDone() {}
    // The order of the scanned entries before any is written; the scan's order by default.
    virtual void OrderEntries(std::vector<TCompEntry>&) {}

    // Progress of the bytes still to process, with the message loop run once.
    void ReportProgress(uint64_t fileDone, uint64_t fileTotal);
    fw::TStream& Output() { return *FOutput; }
    const std::string& TempFileName() const { return FTempFileName; }
    TCompHeaderObj& Entries() { return FList; }
    uint32_t MaxFileDate() const { return FMaxFileDate; }

    bool FNewArchive = true;  // ArchiveFile did not exist when it was assigned
    TSwitch FSwitch = swAdd;
    TOutputKind FCompressionMethod = cmTempFile;
    int64_t FBytesLeft = 0;  // input bytes still to process, for progress
    int64_t FBytesTotal = 0;

private:
    int32_t Run();
    bool CheckTarget();
    bool CheckWriteable();
    bool OpenOutput();
    void Scan();
    bool AddScanned(const std::string& folder, const platform::TFindData& data);
    bool Excluded(const std::string& fullPath) const;
    bool ResolveDuplicate(TCompEntry& entry);
    int32_t WriteEntries();
    bool CopyExistingEntries();
    int32_t DeleteMatching();
    int32_t ReadSwitch();
    bool Finish(int32_t added);
    bool MoveTempFile();
    bool SaveMemory();
    void DeleteMovedSources();

    TCompHeaderObj FList;
    std::unique_ptr<fw::TStream> FOutput;
    std::string FTempFileName;
    std::string FTempDir;
    std::string FRootDir;
    std::unordered_set<std::string> FUtf8Names;  // Utf8Names for the run's look-ups
    uint32_t FMaxFileDate = 0;
    bool FAccepted = false;
};

}  // namespace archive
