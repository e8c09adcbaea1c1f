// TCustomDClass: the extraction driver shared by the readers: Extract, entry selection and the per-entry steps.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "archive/ZipCommon.h"
#include "archive/format/DateAttribute.h"
#include "archive/io/ReadCache.h"
#include "archive/io/Streams32.h"
#include "archive/read/EntryInfo.h"
#include "archive/read/EntrySink.h"
#include "archive/read/ReadContext.h"

namespace archive {

enum TOverwriteMode { omOverwrite, omSkip };

enum TCpuType { cptAuto, cpt80486 };

using TOnFileExists = std::function<
    void(fw::TObject* Sender, const std::string& FileName, std::string& NewFileName, TOverwriteMode& OverwriteMode)>;
using TOnRenameFile = std::function<void(fw::TObject* Sender, const std::string& FileName, std::string& NewFileName)>;
// Called on the caller's thread once with no bytes as an entry's data begin, then with each decoded chunk
// before it is written.
using TOnEntryData = std::function<void(const TEntryInfo& Entry, std::span<const uint8_t> Data)>;

class TCustomDClass : public TZipCommon {
public:
    explicit TCustomDClass(fw::TComponent* owner) : TZipCommon(owner) {}

    // Extracts the selected entries below ExtractDir; returns the number of files written. Never throws.
    int32_t Extract();

    const std::string& ExtractDir() const { return FExtractDir; }
    void SetExtractDir(const std::string& value);
    int32_t ZipCmntBufSize() const { return FZipCmntBufSize; }
    void SetZipCmntBufSize(int32_t value);

    bool UseStoredDirs = true;
    bool CreateStoredDirs = false;
    bool ConfirmOverwrites = false;
    TOverwriteMode OverwriteMode = omOverwrite;
    TDateAttribute DateAttribute = daFileDate;
    bool RestoreFileAttr = true;
    TCpuType CpuType = cptAuto;
    int32_t PasswordAttempts = 3;

    TOnRenameFile OnRenameFile;
    TOnFileExists OnFileExists;
    TOnEntryData OnEntryData;

    // Filled by Extract: the paths below ExtractDir of the entries whose names came in UTF-8 (flag bit 11),
    // for a writer that is to store them the same way.
    std::vector<std::string> Utf8Names;

protected:
    // Collects and extracts the entries of the open archive.
    virtual void ProcessArchive() {}
    // Compares the CRC and reports the verdict through OnEnd or OnError.
    virtual void EndOfEntryCheck(const TEntryInfo& entry);
    // Tests a password against the entry's encryption header; no password passes here.
    virtual bool PasswordTest(const TEntryInfo&, const std::string&) { return false; }
    // Whether ExcludeSpec keeps the entry out (and OnExcludeFile has been told).
    virtual bool Excluded(const std::string&) { return false; }

    // FileSpec selection of a converted entry name.
    bool SelectEntry(const std::string& name);
    // Steps from the output path to the end-of-entry check; the archive stream is at the entry's data.
    void ExtractEntry(const TEntryInfo& entry);

    fw::TStream& Archive() { return *FArchiveView; }
    TReadContext& Context() { return *FRun; }
    int64_t ArchiveSize() const { return FArchiveSize; }

    // Run totals kept by the collecting step.
    uint64_t FTotalUncompressed = 0;
    uint32_t FMaxDateTime = 0;

private:
    // Opens the archive and starts the run; false when there is nothing to run.
    bool BeginRun();
    bool BeginFile(std::string& outPath);
    bool ConfirmOverwrite(std::string& outPath);
    bool PasswordFails(const TEntryInfo& entry);
    void ExtractDirectory(const TEntryInfo& entry, const std::string& outPath);
    void ExtractFile(const TEntryInfo& entry, const std::string& outPath, uint32_t attributes);
    std::unique_ptr<TFileStream32> CreateOutput(const std::string& outPath);
    std::string Decode(const TEntryInfo& entry);
    TEntrySink SinkFor(const TEntryInfo& entry);
    void ReportLostOutput(uint32_t error);
    void CloseOutput(const TEntryInfo& entry, const std::string& outPath, uint32_t attributes);
    void SkipTotals(const TEntryInfo& entry);
    // The one place the count of extracted files changes, never below none.
    enum TCountChange { ccRunStarts, ccFileTaken, ccFileLost, ccAllLost };
    void Count(TCountChange change);

    std::string FExtractDir;
    int32_t FZipCmntBufSize = 32767;
    std::unique_ptr<TFileStream32> FArchive;
    std::unique_ptr<TReadCache> FArchiveView;  // every read of the archive goes through it
    int64_t FArchiveSize = 0;
    std::unique_ptr<TFileStream32> FOutput;
    std::unique_ptr<TReadContext> FRun;  // made by Extract for the run
    int32_t FCount = 0;
    uint32_t FCrc = 0;
    uint64_t FArchiveDone = 0;
};

}  // namespace archive
