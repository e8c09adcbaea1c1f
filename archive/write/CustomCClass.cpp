// The format-independent writing procedure: checks, file scan, entry list, output and final move.
#include "archive/write/CustomCClass.h"

#include <algorithm>

#include "archive/Messages.h"
#include "archive/io/Streams32.h"
#include "archive/io/TempFileStream.h"
#include "archive/names/EntryNames.h"
#include "archive/names/InternalMask.h"

namespace archive {

namespace {

constexpr uint32_t kMbYesNo = 0x04;  // message-box buttons and answer, Windows numbering
constexpr int kIdYes = 6;
// "Directory does not exist... Create?" followed by two carriage returns and the folder.
constexpr const char* kCreateFolderQuestion = "Directory does not exist... Create?\r\r";

uint32_t DosNow() {
    platform::TFileTime local;
    uint16_t date = 0, time = 0;
    platform::FileTimeToLocalFileTime(platform::CurrentFileTime(), local);
    platform::FileTimeToDosDateTime(local, date, time);
    return (static_cast<uint32_t>(date) << 16) | time;
}

uint32_t DosOf(const platform::TFileTime& utc) {
    platform::TFileTime local;
    uint16_t date = 0, time = 0;
    if (!platform::FileTimeToLocalFileTime(utc, local) || !platform::FileTimeToDosDateTime(local, date, time))
        return 0;
    return (static_cast<uint32_t>(date) << 16) | time;
}

bool IsEmptyFolder(const std::string& folder) {
    platform::TFindHandle find;
    platform::TFindData data;
    bool more = find.First(folder + "*", data);
    while (more) {
        if (data.Name != "." && data.Name != "..")
            return false;
        more = find.Next(data);
    }
    return true;
}

// A FileSpec line matches a stored name by its whole text or, without a folder part, by the name.
bool SpecMatches(const std::string& line, const std::string& storedName) {
    const std::string folder = ExtractFolder(line);
    const size_t delim = storedName.rfind(platform::PathDelim);
    const std::string fileName = delim == std::string::npos ? storedName : storedName.substr(delim + 1);
    return TInternalMask(line).Matches(storedName) || (folder.empty() && TInternalMask(line).Matches(fileName));
}

}  // namespace

TCustomCClass::TCustomCClass(fw::TComponent* owner) : TZipCommon(owner) {}

std::string TCustomCClass::TempDir() {
    if (FTempDir.empty() || !platform::DirectoryExists(FTempDir))
        FTempDir = platform::GetTempPath();
    return FTempDir;
}

void TCustomCClass::SetTempDir(const std::string& folder) {
    FTempDir = folder;
    if (Loading() || folder.empty() || platform::DirectoryExists(folder))
        return;
    const std::string question = kCreateFolderQuestion + folder;
    if (MessageBox(question, kMbYesNo) == kIdYes)
        ForceDirectories(folder);
    else
        FTempDir.clear();
}

void TCustomCClass::ReportProgress(uint64_t fileDone, uint64_t fileTotal) {
    if (!OnProgress)
        return;
    const auto total = static_cast<uint64_t>(std::max<int64_t>(FBytesTotal, 0));
    const auto left = static_cast<uint64_t>(std::max<int64_t>(FBytesLeft, 0));
    DoProgress(fileDone, fileTotal, total - std::min(left, total), total);
}

int32_t TCustomCClass::Compress() {
    int32_t result = 0;
    try {
        result = Run();
    } catch (...) {
        // Nothing leaves the engine: a raised error (its report already made), a write or allocation failure,
        // or anything a handler threw ends the run with no files counted.
        result = 0;
    }
    FOutput.reset();  // a temporary file still held here is deleted
    FList = {};
    return result;
}

int32_t TCustomCClass::Run() {
    FBytesLeft = FBytesTotal = 0;
    FMaxFileDate = 0;
    FAccepted = false;
    FList = {};
    ClearCancel();
    DoProgress(0, 0, 0, 0);
    if (!CheckTarget())
        return 0;
    StartTimer();
    fw::Fire(OnActivate, this);
    int32_t result = 0;
    if (FSwitch == swRead) {
        result = ReadSwitch();
    } else if (CheckWriteable() && (FNewArchive || LoadExisting(FList)) && OpenOutput()) {
        if (FSwitch == swDelete) {
            result = DeleteMatching();
        } else {
            Scan();
            OrderEntries(FList.Entries);
            result = WriteEntries();
        }
        if (!Finish(result))
            result = 0;
    }
    fw::Fire(OnDeactivate, this);
    StopTimer();
    return result;
}

bool TCustomCClass::CheckTarget() {
    // The drive is asked about through the archive's folder: the archive itself may not exist yet.
    const std::string folder = ExtractFolder(FArchiveFile);
    switch (platform::DriveStateOf(folder)) {
        case platform::dsNotAccessible:
            ReportError(FArchiveFile, "", kMsgDriveNotAccessible);
            return false;
        case platform::dsWriteProtected:
            ReportError(FArchiveFile, "", kMsgDiskWriteProtected);
            return false;
        case platform::dsReady:
            break;
    }
    if (!folder.empty() && !platform::DirectoryExists(folder)) {
        ReportError(FArchiveFile, folder, kMsgInvalidDirectory);
        return false;
    }
    return true;
}

bool TCustomCClass::CheckWriteable() {
    if (FNewArchive || FSwitch == swRead)
        return true;
    const uint32_t attr = platform::GetFileAttributes(FArchiveFile);
    constexpr uint32_t kNotWriteable =
        platform::faReadOnly | platform::faHidden | platform::faSysFile | platform::faDirectory;
    if (attr == platform::kInvalidAttributes || !(attr & kNotWriteable))
        return true;
    if (!OnNonWriteableArchive) {
        ReportError(FArchiveFile, "OnNonWriteableArchive", kMsgRequiredEventNotAssigned);
        return false;
    }
    bool write = false;
    OnNonWriteableArchive(this, FArchiveFile, write);
    return write && !(attr & platform::faDirectory) && platform::SetFileAttributes(FArchiveFile, platform::faNormal);
}

bool TCustomCClass::OpenOutput() {
    if (FCompressionMethod == cmInMemory) {
        FOutput = std::make_unique<fw::TMemoryStream>();
        FTempFileName.clear();
        return true;
    }
    auto temp = std::make_unique<TTempFileStream>(TempDir());
    FTempFileName = temp->FileName();
    if (!temp->Valid()) {
        ReportError(FTempFileName, TempDir(), kMsgErrorOpeningFile);
        return false;
    }
    FOutput = std::move(temp);
    return true;
}

void TCustomCClass::Scan() {
    FUtf8Names = {Utf8Names.begin(), Utf8Names.end()};
    TFileScan scan;
    scan.SetFileSpec(FileSpec);
    scan.Attributes = Attributes;
    if (StoreEmptySubDirs)
        scan.Attributes.Include(fsDirectory);
    scan.AttributesEx = AttributesEx;
    scan.RecurseDirs = RecurseDirs;
    scan.IncludeHiddenDirs = IncludeHiddenDirs;
    scan.IncludeHiddenFiles = IncludeHiddenFiles;
    scan.SetCancelFlag(&CancelFlag());
    scan.OnIdle = [this] { ProcessMessages(); };
    scan.OnScanFile = [this](fw::TObject*, const std::string& name, int32_t count, int64_t size) {
        fw::Fire(OnFileScanStatus, this, name, count, size);
    };
    scan.OnRecurseDir = [this](fw::TObject*, const std::string& folder) { fw::Fire(OnRecurseDir, this, folder); };
    scan.OnRootDirChange = [this](fw::TObject*, const std::string& folder) { FRootDir = folder; };
    scan.OnEntry = [this](const std::string& folder, const platform::TFindData& data) {
        return AddScanned(folder, data);
    };
    scan.Run();
}

bool TCustomCClass::AddScanned(const std::string& folder, const platform::TFindData& data) {
    const bool isFolder = (data.Attr & platform::faDirectory) != 0;
    if (isFolder && !(StoreEmptySubDirs && IsEmptyFolder(folder)))
        return false;
    TCompEntry entry;
    entry.FullPath = isFolder ? folder : folder + data.Name;
    const std::string defaultDir = WithTrailingDelim(DefaultDir);
    if (StoredDirNames == sdExplorer_UserDefineDefaultDir && defaultDir.empty()) {
        ReportError(entry.FullPath, "DefaultDir", kMsgRequiredPropertyNotAssigned);
        return false;
    }
    entry.StoredName = MakeStoredName(entry.FullPath, FRootDir, StoredDirNames, defaultDir);
    if (entry.StoredName.empty() || Excluded(entry.FullPath))
        return false;
    entry.RootLength = StartsWithAsciiText(entry.FullPath, FRootDir) ? FRootDir.size() : 0;
    const uint32_t fileDate = DosOf(data.LastWriteTime);
    FMaxFileDate = std::max(FMaxFileDate, fileDate);
    entry.Central.DateTime = DateAttribute == daSysDate ? DosNow() : fileDate;
    entry.SourceSize = isFolder ? 0 : data.Size;
    entry.Central.CompressedSize = entry.Central.UncompressedSize = static_cast<uint32_t>(entry.SourceSize);
    entry.Central.ExternalAttributes = data.Attr;
    entry.Utf8Name = FUtf8Names.contains(entry.StoredName);
    if (!ResolveDuplicate(entry))
        return false;
    FBytesTotal += static_cast<int64_t>(entry.SourceSize);
    FList.Entries.push_back(std::move(entry));
    FAccepted = true;
    return true;
}

bool TCustomCClass::Excluded(const std::string& fullPath) const {
    const std::string folder = ExtractFolder(fullPath);
    const std::string name = fullPath.substr(folder.size());
    const bool hit = std::any_of(ExcludeSpec.begin(), ExcludeSpec.end(), [&](const std::string& line) {
        const std::string lineFolder = ExtractFolder(line);
        return (lineFolder.empty() || SameAsciiText(lineFolder, folder)) &&
               TInternalMask(line.substr(lineFolder.size())).Matches(name);
    });
    if (hit)
        fw::Fire(OnExcludeFile, const_cast<TCustomCClass*>(this), fullPath);
    return hit;
}

// A new file whose stored name is already in the archive: kept out, replacing or renamed.
bool TCustomCClass::ResolveDuplicate(TCompEntry& entry) {
    const auto old = std::find_if(FList.Entries.begin(), FList.Entries.end(), [&](const TCompEntry& e) {
        return e.Record.Action != eaDrop && e.Record.Action != eaCompress &&
               SameAsciiText(e.StoredName, entry.StoredName);
    });
    if (old == FList.Entries.end())
        return FSwitch != swRefresh;
    const TCentralHeader& was = old->Central;
    const uint32_t newAttr = entry.Central.ExternalAttributes & kStoredAttrMask;
    if (was.UncompressedSize == entry.Central.UncompressedSize && was.DateTime == entry.Central.DateTime &&
        (was.ExternalAttributes & kStoredAttrMask) == newAttr)
        return false;
    if (FSwitch == swRefresh) {
        if (entry.Central.DateTime <= was.DateTime)
            return false;
        old->Record.Action = eaDrop;
        return true;
    }
    if (OnReplaceFile) {
        bool replace = false;
        OnReplaceFile(this, old->StoredName, entry.FullPath, was.DateTime, entry.Central.DateTime,
                      static_cast<int64_t>(was.UncompressedSize), static_cast<int64_t>(entry.SourceSize),
                      static_cast<int32_t>(was.ExternalAttributes), static_cast<int32_t>(newAttr), replace);
        if (replace)
            old->Record.Action = eaDrop;
        if (replace)
            return true;
    } else if (!OnRenameDupeFile) {
        ReportError(entry.FullPath, "OnReplaceFile", kMsgRequiredEventNotAssigned);
    }
    if (!OnRenameDupeFile)
        return false;
    std::string newName = entry.StoredName;
    bool rename = false;
    OnRenameDupeFile(this, entry.StoredName, newName, rename);
    if (!rename || newName.empty() || SameAsciiText(newName, entry.StoredName))
        return false;
    entry.StoredName = newName;
    return true;
}

int32_t TCustomCClass::WriteEntries() {
    const bool anyNew = std::any_of(FList.Entries.begin(), FList.Entries.end(),
                                    [](const TCompEntry& e) { return e.Record.Action == eaCompress; });
    if (Cancel() || !anyNew) {
        if (!FAccepted)
            ReportError("", "", FSwitch == swRefresh && FNewArchive ? kMsgNothingToDoSwitch : kMsgNothingToDo);
        FList = {};
        return 0;
    }
    if (DateAttribute == daMaxFileDate)
        for (TCompEntry& e : FList.Entries)
            if (e.Record.Action == eaCompress)
                e.Central.DateTime = FMaxFileDate;
    FBytesLeft = FBytesTotal;
    if (!CopyExistingEntries())
        return 0;
    struct TDone {
        TCustomCClass& Owner;
        ~TDone() { Owner.NewEntriesDone(); }
    } done{*this};
    int32_t added = 0;
    for (size_t i = 0; i < FList.Entries.size(); ++i) {
        TCompEntry& entry = FList.Entries[i];
        if (entry.Record.Action != eaCompress)
            continue;
        const int64_t before = Output().Position();  // entries are only ever appended
        if (Cancel()) {
            // Cancelled: this entry and every later one go, the output is cut back to before it.
            for (size_t j = i; j < FList.Entries.size(); ++j)
                FList.Entries[j].Record.Action = eaDrop;
            Output().SetSize(before);
            return 0;
        }
        if (WriteNewEntry(entry, static_cast<int32_t>(i + 1)))
            ++added;
        else
            entry.Record.Action = eaDrop;
    }
    return Cancel() ? 0 : added;
}

bool TCustomCClass::CopyExistingEntries() {
    const bool anyOld = std::any_of(FList.Entries.begin(), FList.Entries.end(),
                                    [](const TCompEntry& e) { return e.Record.Action == eaCopy; });
    if (!anyOld)
        return true;
    TFileStream32 source(FArchiveFile, platform::fmOpenRead | platform::fmShareDenyWrite);
    if (!source.Valid()) {
        ReportError(FArchiveFile, "", kMsgErrorOpeningFile);
        return false;
    }
    for (TCompEntry& entry : FList.Entries) {
        if (Cancel())
            return false;
        if (entry.Record.Action == eaCopy && !CopyEntry(entry, source))
            entry.Record.Action = eaDrop;
    }
    return true;
}

int32_t TCustomCClass::DeleteMatching() {
    int32_t deleted = 0;
    const auto maxCount = static_cast<int32_t>(FList.Entries.size());
    for (TCompEntry& entry : FList.Entries) {
        const bool hit = std::any_of(FileSpec.begin(), FileSpec.end(),
                                     [&](const std::string& line) { return SpecMatches(line, entry.StoredName); });
        if (!hit)
            continue;
        entry.Record.Action = eaDrop;
        ++deleted;
        fw::Fire(OnDeleteFile, this, entry.StoredName, deleted, maxCount);
    }
    if (deleted == 0) {
        ReportError("", "", kMsgNothingToDoSwitch);
        return 0;
    }
    return CopyExistingEntries() && !Cancel() ? deleted : 0;
}

int32_t TCustomCClass::ReadSwitch() {
    if (!OnRead) {
        ReportError(FArchiveFile, "OnRead", kMsgRequiredEventNotAssigned);
        return 0;
    }
    if (FNewArchive || !LoadExisting(FList))
        return 0;
    int32_t count = 0;
    for (const TCompEntry& entry : FList.Entries) {
        if (Cancel())
            break;
        OnRead(this, static_cast<int32_t>(entry.OldLocalOffset), count++);
    }
    return count;
}

bool TCustomCClass::Finish(int32_t written) {
    if (written == 0 || Cancel())
        return false;  // the output is freed and a temporary file deleted
    WriteDirectory();
    const bool placed = FCompressionMethod == cmInMemory ? SaveMemory() : MoveTempFile();
    if (!placed)
        return false;
    if (OnRead) {
        int32_t number = 0;
        for (const TCompEntry& entry : FList.Entries) {
            if (entry.Record.Action == eaCompress)
                OnRead(this, static_cast<int32_t>(entry.Record.LocalHeaderOffset), number);
            number += entry.Record.Action != eaDrop ? 1 : 0;
        }
    }
    if (FSwitch == swMove)
        DeleteMovedSources();
    FNewArchive = false;
    return true;
}

bool TCustomCClass::MoveTempFile() {
    auto* temp = static_cast<TTempFileStream*>(FOutput.get());
    bool cancel = false;
    fw::Fire(OnTmpFileMoveBegin, this, FArchiveFile, temp->FileName(), cancel);
    if (cancel)
        SetCancel(true);
    if (Cancel())
        return false;
    uint32_t error = 0;
    const bool moved = temp->MoveTo(FArchiveFile, error, [this](int64_t done, int64_t total) {
        ProcessMessages();
        fw::Fire(OnTmpFileProgress, this, Percent(done, total), Percent(done, total));
    });
    if (!moved) {
        // The finished archive stays in the temporary file; its path goes out with the error.
        ReportError(temp->FileName(), FArchiveFile,
                    error == platform::kErrorDiskFull ? kMsgDiskFull : kMsgErrorOpeningFile);
        return false;
    }
    fw::Fire(OnTmpFileMoveEnd, this);
    return true;
}

bool TCustomCClass::SaveMemory() {
    auto* memory = static_cast<fw::TMemoryStream*>(FOutput.get());
    TFileStream32 file(FArchiveFile, platform::fmCreate);
    if (!file.Valid()) {
        ReportError(FArchiveFile, "", kMsgErrorOpeningFile);
        return false;
    }
    bool ok = false;
    try {
        file.WriteBuffer(memory->Bytes().data(), static_cast<int64_t>(memory->Bytes().size()));
        ok = file.Close();
    } catch (const fw::EWriteError&) {
        ok = false;
    }
    if (!ok) {
        ReportError(FArchiveFile, "", kMsgErrorWritingFile);
        file.Close();
        platform::DeleteFile(FArchiveFile);
    }
    return ok;
}

void TCustomCClass::DeleteMovedSources() {
    for (const TCompEntry& entry : FList.Entries)
        if (entry.Record.Action == eaCompress && !entry.FullPath.empty() &&
            entry.FullPath.back() != platform::PathDelim)
            platform::DeleteFile(entry.FullPath);
}

}  // namespace archive
