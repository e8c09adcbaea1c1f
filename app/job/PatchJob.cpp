// The patch job behind the main button: unpack the archive, patch every class, add the full-screen
// canvas class, pack the work folder back, clean up; one log line per step.
#include "app/job/PatchJob.h"

#include <algorithm>
#include <optional>
#include <string>

#include "app/job/DeleteFolder.h"
#include "app/job/Interrupt.h"
#include "app/job/PatchRule.h"
#include "app/job/ReplaceInFile.h"
#include "app/job/SafeFiles.h"
#include "app/job/Texts.h"
#include "app/job/WorkFolder.h"
#include "framework/Exceptions.h"
#include "platform/Platform.h"

namespace app {

namespace {
const char kAllFiles[] = "*.*";
const char kClassFiles[] = "*.class";
const char kWorkFolder[] = "temp";
// The new archive is built inside the run's folder, then copied beside the chosen one and renamed over it.
const char kBuiltName[] = "new.jar";
constexpr int kPackingStart = 50;  // unpacking is the first half of the job's progress
constexpr int kPackingEnd = 100;

void MustCreateDirectory(const std::string& path) {
    fw::InOutCheck(platform::CreateDirectory(path));
}

// Marks the job running on every way out of it; the work folder's name goes with it.
class TJobScope {
public:
    TJobScope(std::string& slot, std::string& work, const std::string& archive) : FSlot(slot), FWork(work) {
        FSlot = archive;
    }
    ~TJobScope() {
        FSlot.clear();
        FWork.clear();
    }
    TJobScope(const TJobScope&) = delete;
    TJobScope& operator=(const TJobScope&) = delete;

private:
    std::string& FSlot;
    std::string& FWork;
};
}  // namespace

TPatchJob::TPatchJob(TJobComponents parts) : FParts(parts), FDecodedClasses(JobProofRule()) {}

void TPatchJob::RefuseWhileRunning() const {
    if (Running())
        throw fw::Exception(TextWith(TText::Busy, {FJobArchive}));
}

void TPatchJob::Run(const std::string& archivePath, bool backup) {
    RefuseWhileRunning();
    FReport = TJobReport{};
    FReport.Archive = archivePath;
    try {
        TJobScope running(FJobArchive, FWorkFolder, archivePath);
        RunSteps(archivePath, backup);
    } catch (const fw::EInOutError& error) {
        NoteFailure(FailureOfSystemError(error.ErrorCode()), error.ErrorCode());
        throw;
    } catch (...) {  // swallows nothing: any other fault of a step is noted as the job's outcome and goes on
        NoteFailure(TJobFailure::jfOther, 0);
        throw;
    }
}

// Every path is absolute from here on: the job never changes the current folder, and a link is
// followed to the file it names, which is patched in place while the link stays.
void TPatchJob::RunSteps(const std::string& chosenPath, bool backup) {
    const std::string archivePath = platform::ResolvePath(chosenPath);
    FParts.Log.Clear();
    Say(TText::LogInit);
    StopIfRequested();
    // A jar written elsewhere leaves the original as it is: no backup is needed.
    const std::string target = OutputPath.empty() ? archivePath : platform::ExpandFileName(OutputPath);
    CheckArchive(archivePath, target);
    if (!LookAtGame(archivePath))
        return;
    if (backup && OutputPath.empty()) {
        Say(TText::LogBackup);
        MakeBackup(archivePath);
    }
    StopIfRequested();
    std::optional<TRunFolder> run;
    try {
        run.emplace();
    } catch (const fw::EInOutError& error) {  // no temporary folder to work in: not the archive's fault
        const uint32_t code = error.ErrorCode();
        Fail(code == platform::kErrorDiskFull ? TJobFailure::jfDiskFull : TJobFailure::jfOther, TText::ExtractFailed,
             code);
    }
    FWorkFolder = run->Join(kWorkFolder) + platform::PathDelim;
    PrepareWorkFolder();
    Say(TText::LogExtract);
    ExtractArchive(archivePath);
    Say(TText::LogClasses);
    if (FSurvey.Plan == ppSuperLink)
        SayWith(TText::LogSuperLink, FSurvey.OtherKind);
    PatchClasses();
    Say(TText::LogPayload);
    WritePayload();
    Say(TText::LogPack);
    PackArchive(archivePath, target, run->Join(kBuiltName));
    UpdateJad(archivePath, target, backup);
    Say(TText::LogCleanup);
    CleanWorkFolder();
    Say(TText::LogDone);
    ShowJobWarnings();
}

void TPatchJob::FileFound(const search::TFileInformations& FileFound) {
    const std::string file = FileFound.Path + platform::PathDelim + FileFound.Name;
    if (FParts.Search.FileNames().at(0) == kAllFiles)
        platform::DeleteFile(file);
    if (FParts.Search.FileNames().at(0) == kClassFiles) {
        StopIfRequested();
        if (FSurvey.Plan == ppSuperLink)
            RelinkClass(file, EntryNameOf(FileFound.Path + FileFound.Name));
        else if (!NothingToPatch(FileFound))
            CountReplacements(FileFound.Path + FileFound.Name,
                              app::ReplaceInFile(file, kCanvasClass, kWideCanvasClass));
    }
}

// A class the reader decoded without the canvas name, of the size on disk, has nothing for the patcher;
// any doubt (another name on disk, another size) leaves the file to the patcher. The check still proves
// every class of the rebuilt jar against the original.
bool TPatchJob::NothingToPatch(const search::TFileInformations& found) {
    const std::optional<TDecodedClass> decoded = FDecodedClasses.Find(EntryNameOf(found.Path + found.Name));
    return decoded && decoded->Replacements == 0 &&
           static_cast<uint32_t>(decoded->Size) == static_cast<uint32_t>(found.Size);
}

// The archive name of a file in the work folder, as the reader would have stored it.
std::string TPatchJob::EntryNameOf(const std::string& file) const {
    std::string entry = file.substr(std::min(FWorkFolder.size(), file.size()));
    std::replace(entry.begin(), entry.end(), platform::PathDelim, '/');
    return entry;
}

void TPatchJob::CountReplacements(const std::string& file, int count) {
    if (count <= 0)
        return;
    FReport.ChangedClasses.push_back({EntryNameOf(file), count});
    FReport.Replacements += count;
}

// What can be known before any work: the file is there, is a file, can be read, and its target (the file
// itself, or the output written elsewhere) can be replaced.
void TPatchJob::CheckArchive(const std::string& archivePath, const std::string& target) {
    const uint32_t attributes = platform::GetFileAttributes(archivePath);
    if (attributes == platform::kInvalidAttributes)
        Fail(TJobFailure::jfNotFound, TText::ExtractFailed, platform::LastError());
    if (attributes & platform::faDirectory)
        Fail(TJobFailure::jfIsFolder, TText::ExtractFailed, platform::kErrorAccessDenied);
    // As on Windows, a read-only file is not replaced.
    const uint32_t targetAttributes = target == archivePath ? attributes : platform::GetFileAttributes(target);
    if (targetAttributes != platform::kInvalidAttributes && (targetAttributes & platform::faReadOnly))
        Fail(TJobFailure::jfAccessDenied, TText::PackFailed, platform::kErrorAccessDenied);
    const platform::THandle probe = platform::FileOpen(archivePath, platform::fmOpenRead | platform::fmShareDenyNone);
    if (probe == platform::kInvalidHandle)
        Fail(TJobFailure::jfAccessDenied, TText::ExtractFailed, platform::LastError());
    platform::FileClose(probe);
    uint32_t error = 0;
    if (!FolderWritable(FolderOf(target), error)) {
        const bool readOnly = error == platform::kErrorAccessDenied || error == platform::kErrorWriteProtect;
        Fail(readOnly ? TJobFailure::jfReadOnlyFolder : FailureOfSystemError(error), TText::PackFailed, error);
    }
}

// An existing backup is kept as it is; any other failure stops the job before anything is touched.
void TPatchJob::MakeBackup(const std::string& archivePath) {
    try {
        MakeBackupCopy(archivePath, archivePath + ".bak");
    } catch (const fw::EInOutError& error) {
        Fail(TJobFailure::jfBackupFailed, TText::BackupFailed, error.ErrorCode());
    }
}

// A fresh, empty work directory inside the run's own folder.
void TPatchJob::PrepareWorkFolder() {
    const std::string folder = FWorkFolder.substr(0, FWorkFolder.size() - 1);
    if (!platform::DirectoryExists(folder))
        MustCreateDirectory(folder);
    DeleteFolder(folder);
    MustCreateDirectory(folder);
    RunSearch(kAllFiles);
}

void TPatchJob::RunSearch(const std::string& mask) {
    FParts.Search.SetRootPath(FWorkFolder);
    FParts.Search.FileNames().clear();
    FParts.Search.FileNames().push_back(mask);
    FParts.Search.Execute();
}

// Every entry must come out and stay: an error event, a failed CRC, a file not written or gone again
// stops the job here, while the chosen archive is still untouched.
void TPatchJob::ExtractArchive(const std::string& archivePath) {
    FEngineErrors = 0;
    FFirstEngineError = 0;
    FFirstEngineErrorFile.clear();
    FFilesBegun.clear();
    FParts.Reader.OnEntryData = nullptr;  // the look has decoded the classes already
    FParts.Reader.SetArchiveFile(archivePath);
    FParts.Reader.SetExtractDir(FWorkFolder);
    // A progress handler keeps the reader on one thread, so it is there only for a front end that shows it.
    if (OnProgress)
        FParts.Reader.OnProgress = [this](fw::TObject*, uint8_t, uint8_t byArchive) { UnpackProgress(byArchive); };
    else
        FParts.Reader.OnProgress = nullptr;
    const int written = FParts.Reader.Extract();
    StopIfRequested();
    if (FParts.Reader.ArcType() == archive::atNA)
        Fail(TJobFailure::jfNotArchive, TText::ExtractFailed);
    // A jar's folder entries begin like files; they count as there when the folder is.
    const auto missing = std::find_if(FFilesBegun.begin(), FFilesBegun.end(), [](const std::string& path) {
        return platform::GetFileAttributes(path) == platform::kInvalidAttributes;
    });
    if (FEngineErrors > 0)
        ClassifyEngineFailure(TText::ExtractFailed);
    if (written < static_cast<int>(FFilesBegun.size()) || missing != FFilesBegun.end())
        Fail(TJobFailure::jfOther, TText::ExtractFailed, 0, missing != FFilesBegun.end() ? *missing : "");
    NoteSignedJar();
}

void TPatchJob::PatchClasses() {
    RunSearch(kClassFiles);
}

// The payload goes in after the class pass, so the patcher never rewrites its own superclass name.
void TPatchJob::WritePayload() {
    std::string folder = FWorkFolder.substr(0, FWorkFolder.size() - 1);
    for (const char* name : kPayloadFolders) {
        folder += platform::PathDelim + std::string(name);
        if (!platform::DirectoryExists(folder))
            MustCreateDirectory(folder);
    }
    const std::string payload = folder + platform::PathDelim + kPayloadFileName;
    if (platform::FileExists(payload))
        platform::DeleteFile(payload);
    FParts.Store.GetStoredItem(0)->SaveToFile(payload);
}

// The new archive is built complete in the run's folder (the writer's temporary file goes there too) and
// only then put in the chosen one's place, which stays as it was on any failure before.
void TPatchJob::PackArchive(const std::string& archivePath,
                            const std::string& targetPath,
                            const std::string& builtPath) {
    FEngineErrors = 0;
    FFirstEngineError = 0;
    FFirstEngineErrorFile.clear();
    FParts.Writer.SetTempDir(FolderOf(builtPath));
    FParts.Writer.SetArchiveFile(builtPath);
    FParts.Writer.FileSpec.clear();
    FParts.Writer.FileSpec.push_back(FWorkFolder + kAllFiles);
    FParts.Writer.Utf8Names = FParts.Reader.Utf8Names;                // names that came as UTF-8 go back as UTF-8
    FParts.Writer.SetArchiveComment(FParts.Reader.ArchiveComment());  // "Level pack 2, do not redistribute"
    ReportProgress(kPackingStart);
    const int added = FParts.Writer.Compress();
    ReportProgress(kPackingEnd);
    StopIfRequested();
    if (FEngineErrors > 0)
        ClassifyEngineFailure(TText::PackFailed);
    if (added <= 0)
        Fail(TJobFailure::jfOther, TText::PackFailed);
    ProveRebuiltJar(archivePath, builtPath);
    StopIfRequested();  // the last safe point: from here the job completes
    try {
        ReplaceDurably(builtPath, targetPath, archivePath);
    } catch (const fw::EInOutError& error) {
        Fail(FailureOfSystemError(error.ErrorCode()), TText::PackFailed, error.ErrorCode());
    }
}

void TPatchJob::DeleteWorkFiles() {
    RunSearch(kAllFiles);
}

void TPatchJob::CleanWorkFolder() {
    DeleteWorkFiles();
    DeleteFolder(FWorkFolder.substr(0, FWorkFolder.size() - 1));
}

void TPatchJob::Fail(TJobFailure failure, TText message, uint32_t systemError, const std::string& entry) {
    FReport.Failure = failure;
    FReport.SystemError = static_cast<int>(systemError);
    FReport.Entry = entry;
    throw fw::Exception(TextWith(message, {FReport.Archive}));
}

// A failed job changed no class of the user's archive; the step that failed may have said why already.
void TPatchJob::NoteFailure(TJobFailure failure, uint32_t systemError) {
    FReport.ChangedClasses.clear();
    FReport.Replacements = 0;
    if (FReport.Failure != TJobFailure::jfNone)
        return;
    FReport.Failure = failure;
    FReport.SystemError = static_cast<int>(systemError);
}

void TPatchJob::StopIfRequested() {
    if (StopRequested() != 0)
        Fail(TJobFailure::jfInterrupted, TText::Interrupted);
}

// Each entry the reader begins, and each of its progress reports, is a safe point of the engine: a stop
// request sets its cancel flag there.
void TPatchJob::StopUnpackingIfRequested() {
    if (StopRequested() != 0 && !FParts.Reader.Cancel())
        FParts.Reader.SetCancel(true);
}

// Unpacking is the first half of the job's progress; packing reports its start and end.
void TPatchJob::UnpackProgress(int percent) {
    StopUnpackingIfRequested();
    ReportProgress(percent / 2);
}

void TPatchJob::Say(TText line) {
    FParts.Log.Add(Text(line));
}

void TPatchJob::SayWith(TText line, const std::string& arg) {
    FParts.Log.Add(TextWith(line, {arg}));
}

void TPatchJob::ReportProgress(int percent) {
    if (OnProgress)
        OnProgress(percent);
}

}  // namespace app
