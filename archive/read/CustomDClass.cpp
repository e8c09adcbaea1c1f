// The extraction driver: opening the archive, the per-entry steps, writing chunks and the CRC verdict.
#include "archive/read/CustomDClass.h"

#include <algorithm>

#include "archive/Messages.h"
#include "archive/format/Crc32.h"
#include "archive/names/EntryNames.h"
#include "archive/read/DecodeJob.h"
#include "archive/read/FileSpec.h"
#include "platform/Platform.h"

namespace archive {

namespace {
constexpr int32_t kMinCommentBuffer = 2000;  // bounds of the archive comment buffer setting
constexpr int32_t kMaxCommentBuffer = 32767;
constexpr uint32_t kPlainMessageBox = 0;    // one OK button, no icon
constexpr uint32_t kFailedPasswordCrc = 1;  // a running CRC that makes the end-of-entry check fail
constexpr int kMaxRenameRounds = 1000;      // OnFileExists answers that keep naming existing files

// Windows refuses to replace a read-only file; asking first makes every platform (and every user) agree.
bool ReadOnlyTarget(const std::string& path) {
    const uint32_t attr = platform::GetFileAttributes(path);
    return attr != platform::kInvalidAttributes && (attr & platform::faReadOnly);
}

void SetTimeFromDos(platform::THandle handle, uint32_t packed) {
    platform::TFileTime local, utc;
    if (platform::DosDateTimeToFileTime(static_cast<uint16_t>(packed >> 16), static_cast<uint16_t>(packed), local) &&
        platform::LocalFileTimeToFileTime(local, utc))
        platform::SetFileTimes(handle, nullptr, nullptr, &utc);
}

// The one catch of the reader's operations: a raised error (already reported) or a handler's exception ends
// `step`, and nothing passes on. Returns whether the step went through.
template <class Step>
bool Contained(Step&& step) noexcept {
    try {
        return step();
    } catch (...) {
        return false;
    }
}
}  // namespace

void TCustomDClass::SetExtractDir(const std::string& value) {
    FExtractDir = NormalizeExtractDir(value, FArchiveFile);
}

void TCustomDClass::SetZipCmntBufSize(int32_t value) {
    FZipCmntBufSize = std::clamp(value, kMinCommentBuffer, kMaxCommentBuffer);
}

int32_t TCustomDClass::Extract() {
    // A run that fails still stops the timer and tells OnDeactivate; an exception of either ends Extract only.
    if (Contained([this] { return BeginRun(); })) {
        Contained([this] {
            ProcessArchive();
            return true;
        });
        Contained([this] {
            StopTimer();
            fw::Fire(OnDeactivate, this);
            return true;
        });
    }
    FRun.reset();  // its write-behind thread ends before the output it may be writing to
    FOutput.reset();
    FArchiveView.reset();
    FArchive.reset();
    return FCount;
}

bool TCustomDClass::BeginRun() {
    if (FArchiveFile.empty()) {
        ReportError("", "", kMsgFileNotFound);
        return false;
    }
    FArchive = std::make_unique<TFileStream32>(FArchiveFile, platform::fmOpenRead | platform::fmShareDenyWrite);
    if (!FArchive->Valid()) {
        FArchive.reset();
        ReportError(FArchiveFile, "", kMsgErrorOpeningFile);
        return false;
    }
    FArchiveView = std::make_unique<TReadCache>(*FArchive);
    FRun = std::make_unique<TReadContext>();
    FArchiveSize = FArchiveView->Size();
    ClearCancel();
    Count(ccRunStarts);
    FTotalUncompressed = FArchiveDone = 0;
    Utf8Names.clear();
    if (CpuType == cpt80486)
        CpuType = cptAuto;
    if (FExtractDir.empty())
        FExtractDir = NormalizeExtractDir("", FArchiveFile);
    if (FExtractDir.empty())
        FExtractDir = WithTrailingDelim(platform::GetCurrentDirectory());
    fw::Fire(OnActivate, this);
    StartTimer();
    return true;
}

bool TCustomDClass::SelectEntry(const std::string& name) {
    const bool anyMask = std::any_of(FileSpec.begin(), FileSpec.end(), [](const auto& m) { return !m.empty(); });
    if (!anyMask || Excluded(name))
        return false;
    for (std::string& mask : FileSpec)
        if (!mask.empty() && MaskSelects(mask, name, RecurseDirs))
            return true;
    return false;
}

void TCustomDClass::ExtractEntry(const TEntryInfo& entry) {
    FCurrentFile = entry.Name;
    const auto path = OutputPath(FExtractDir, entry.Name, UseStoredDirs);
    if (!path) {
        // A name that would leave the target is never written, and not counted.
        ReportError(entry.Name, "", kMsgErrorOpeningFile);
        SkipTotals(entry);
        return;
    }
    std::string outPath = *path;
    if ((entry.Flags & kFlagUtf8) && outPath.starts_with(FExtractDir))
        Utf8Names.push_back(outPath.substr(FExtractDir.size()));
    const bool directoryByAttr = (entry.ExternalAttributes & platform::faDirectory) != 0;
    if (!directoryByAttr && !BeginFile(outPath)) {
        SkipTotals(entry);
        return;
    }
    // A name ending in a delimiter is a folder in any archive: no file can carry it.
    const bool directoryByName = NamePart(outPath).empty();
    bool isDirectory = directoryByAttr || directoryByName;
    uint32_t attributes = entry.ExternalAttributes;
    if (FArcType == atJar || FArcType == atJarExe) {
        // Jars mark folders by a trailing delimiter only; their attributes are not trusted.
        isDirectory = directoryByName;
        attributes = isDirectory ? platform::faDirectory : platform::faArchive;
    }
    // A jar file whose attributes claim a folder is still a file: announced and counted like any other.
    if (directoryByAttr && !isDirectory && !BeginFile(outPath)) {
        SkipTotals(entry);
        return;
    }
    const bool failedPassword = !isDirectory && (entry.Flags & kFlagEncrypted) && PasswordFails(entry);
    if (isDirectory) {
        ExtractDirectory(entry, outPath);
    } else if (failedPassword) {
        Count(ccFileLost);
        FCrc = kFailedPasswordCrc;
        EndOfEntryCheck(entry);
    } else {
        ExtractFile(entry, outPath, attributes);
    }
}

bool TCustomDClass::BeginFile(std::string& outPath) {
    if (OnRenameFile) {
        std::string newName = outPath;
        OnRenameFile(this, outPath, newName);
        outPath = newName;
    }
    if (OnBegin) {
        bool extract = true;
        OnBegin(this, outPath, FCount + 1, extract);
        if (!extract)
            return false;
    }
    if (Cancel())
        return false;
    if (ConfirmOverwrites) {
        if (!ConfirmOverwrite(outPath))
            return false;
    } else if (OverwriteMode == omSkip && platform::FileExists(outPath)) {
        return false;
    }
    Count(ccFileTaken);
    return true;
}

bool TCustomDClass::ConfirmOverwrite(std::string& outPath) {
    OverwriteMode = omOverwrite;
    if (!platform::FileExists(outPath))
        return true;
    if (!OnFileExists) {
        ReportError(outPath, "OnFileExists", kMsgRequiredEventNotAssigned);
        OverwriteMode = omSkip;
        return false;
    }
    for (int round = 0; round < kMaxRenameRounds; ++round) {
        std::string newName = outPath;
        OnFileExists(this, outPath, newName, OverwriteMode);
        const bool changed = newName != outPath;
        outPath = newName;
        if (OverwriteMode != omOverwrite || !changed || !platform::FileExists(outPath))
            break;
    }
    if (OverwriteMode == omSkip)
        return false;
    const uint32_t attr = platform::GetFileAttributes(outPath);
    if (attr != platform::kInvalidAttributes && (attr & platform::faReadOnly)) {
        if (attr & (platform::faSysFile | platform::faDirectory)) {
            ReportError(outPath, "", kMsgErrorWritingFile);
            return false;
        }
        platform::SetFileAttributes(outPath, attr & ~platform::faReadOnly);
    }
    return true;
}

bool TCustomDClass::PasswordFails(const TEntryInfo& entry) {
    if (entry.Flags & kFlagStrongEncryption)
        return true;
    for (const auto& password : Passwords)
        if (PasswordTest(entry, password))
            return false;
    if (!OnGetPassword) {
        ReportError(entry.Name, "OnGetPassword", kMsgRequiredEventNotAssigned);
        return true;
    }
    for (int attempt = 0; attempt < PasswordAttempts; ++attempt) {
        std::string password;
        bool tryAgain = true;
        OnGetPassword(this, entry.Name, password, tryAgain);
        if (PasswordTest(entry, password))
            return false;
        if (!tryAgain)
            break;
    }
    return true;
}

void TCustomDClass::ExtractDirectory(const TEntryInfo& entry, const std::string& outPath) {
    if (!CreateStoredDirs || ForceDirectories(outPath))
        FCrc = entry.ExpectedCrc;
    EndOfEntryCheck(entry);
}

void TCustomDClass::ExtractFile(const TEntryInfo& entry, const std::string& outPath, uint32_t attributes) {
    FOutput = CreateOutput(outPath);
    if (!FOutput || !FOutput->Valid()) {
        FOutput.reset();
        ReportError(entry.Name, "", kMsgErrorOpeningFile);
        Count(ccFileLost);
        SkipTotals(entry);
        EndOfEntryCheck(entry);
        return;
    }
    const std::string failure = Decode(entry);
    CloseOutput(entry, outPath, attributes);
    EndOfEntryCheck(entry);
    // Shown with the file closed and checked: a message box that throws ends nothing more than this entry.
    if (!failure.empty())
        MessageBox(failure, kPlainMessageBox);
}

// Most files are new, in a folder that is there: one create does it. A file to replace, a folder to make or
// a read-only target take the whole way.
std::unique_ptr<TFileStream32> TCustomDClass::CreateOutput(const std::string& outPath) {
    auto output = std::make_unique<TFileStream32>(outPath, platform::fmCreateNew);
    if (output->Valid())
        return output;
    ForceDirectories(FolderPart(outPath));
    if (ReadOnlyTarget(outPath))
        return nullptr;
    return std::make_unique<TFileStream32>(outPath, platform::fmCreate);
}

// A raised error (reported) or a handler's exception ends the entry here; the CRC of what was written is kept
// for the end-of-entry check. Returns the text to show when the decoder gave up.
std::string TCustomDClass::Decode(const TEntryInfo& entry) {
    FCrc = kCrcInit;  // what the check sees when a handler throws before the output is settled
    const TDecoder decoder = FindDecoder(entry.Method);
    TEntrySink sink = SinkFor(entry);
    TDecodeJob job{Archive(),
                   entry.Method,
                   entry.Flags,
                   entry.CompressedSize,
                   entry.UncompressedSize,
                   CancelFlag(),
                   [this, &sink, &entry](std::span<const uint8_t> data) {
                       if (OnEntryData)
                           OnEntryData(entry, data);
                       return sink.Put(data);
                   },
                   [this](int32_t code) { RaiseError(FCurrentFile, "", code); },
                   [this] { ProcessMessages(); },
                   *FRun,
                   entry.Method == kMethodDeflate ? FRun->InflatedAhead() : nullptr};
    std::string failure;
    bool decoded = false;
    try {
        if (decoder) {
            if (OnEntryData)
                OnEntryData(entry, {});
            decoder(job);
        } else {
            ReportError(entry.Name, "", kMsgUnsupportedMethod);  // the check sees the CRC of no bytes
        }
        decoded = true;
        sink.Finish();
    } catch (const E_RAISE& e) {
        // A full disk met by the last writes behind was reported and ends the entry without a message box.
        if (!decoded)
            failure = e.Message();
    } catch (...) {
        // A handler's exception ends this entry only; its check reports it.
    }
    sink.Abandon();  // the writes behind end before their CRC is read
    FCrc = sink.Crc();
    return failure;
}

TEntrySink TCustomDClass::SinkFor(const TEntryInfo& entry) {
    const bool behind = WritesBehind(Workers, static_cast<bool>(OnProgress), entry.UncompressedSize);
    return TEntrySink(*FOutput, behind ? FRun->WriteBehind() : nullptr,
                      {[this, &entry](uint64_t taken, uint64_t entryDone) {
                           FArchiveDone += taken;
                           DoProgress(entryDone, entry.UncompressedSize, FArchiveDone, FTotalUncompressed);
                       },
                       [this](uint32_t error) { ReportLostOutput(error); }});
}

// A full disk ends the run; a short write loses the file, which is counted off.
void TCustomDClass::ReportLostOutput(uint32_t error) {
    if (error == platform::kErrorDiskFull) {
        Count(ccAllLost);
        RaiseError(FCurrentFile, "", kMsgDiskFull);
        return;
    }
    Count(ccFileLost);
    ReportError(FCurrentFile, "", kMsgErrorWritingFile);
}

void TCustomDClass::CloseOutput(const TEntryInfo& entry, const std::string& outPath, uint32_t attributes) {
    switch (DateAttribute) {
        case daFileDate:
            SetTimeFromDos(FOutput->Handle(), entry.DateTime);
            break;
        case daMaxFileDate:
            SetTimeFromDos(FOutput->Handle(), FMaxDateTime);
            break;
        case daSysDate: {
            const platform::TFileTime now = platform::CurrentFileTime();
            platform::SetFileTimes(FOutput->Handle(), nullptr, nullptr, &now);
            break;
        }
    }
    if (!FOutput->Close())
        ReportError(entry.Name, "", kMsgErrorClosingFile);
    FOutput.reset();
    if (RestoreFileAttr && attributes != platform::faArchive)
        platform::SetFileAttributes(outPath, attributes);
}

void TCustomDClass::EndOfEntryCheck(const TEntryInfo& entry) {
    const bool pass = CrcMatches(entry.ExpectedCrc, FCrc);
    if (OnEnd)
        OnEnd(this, entry.Name, pass);
    else if (!pass && OnError)
        ReportError(entry.Name, "", kMsgCrcCheckFailed);
}

void TCustomDClass::Count(TCountChange change) {
    switch (change) {
        case ccRunStarts:
        case ccAllLost:
            FCount = 0;
            break;
        case ccFileTaken:
            ++FCount;
            break;
        case ccFileLost:
            FCount = std::max(FCount - 1, 0);
            break;
    }
}

void TCustomDClass::SkipTotals(const TEntryInfo& entry) {
    FTotalUncompressed -= std::min(FTotalUncompressed, entry.UncompressedSize);
}

}  // namespace archive
