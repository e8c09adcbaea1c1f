// The patch job behind the main button: unpack the archive, patch every class, add the full-screen
// canvas class, pack the work folder back, clean up; one log line per step.
#include <algorithm>
#include <string>

#include "app/Settings.h"
#include "app/Texts.h"
#include "app/Unit1.h"
#include "framework/Exceptions.h"
#include "platform/Platform.h"

namespace app {

namespace {
// Both exactly 31 bytes: the patcher exchanges texts of equal length so class files keep their layout.
const char kCanvasClass[] = "javax/microedition/lcdui/Canvas";
const char kWideCanvasClass[] = "com/vidorurud/fullscreen/WideCv";
const char kAllFiles[] = "*.*";
const char kClassFiles[] = "*.class";
const char kWorkFolder[] = "temp";
const char kPayloadName[] = "WideCv.class";
const char* const kPayloadFolders[] = {"com", "vidorurud", "fullscreen"};
// The new archive is built beside the chosen one under this suffix, then put in its place.
const char kBuildSuffix[] = ".gvnew";

std::string Format(const char* pattern, const std::string& arg) {
    std::string text = pattern;
    text.replace(text.find("%s"), 2, arg);
    return text;
}

std::string WorkFolderPath() {
    return ExeFolder() + platform::PathDelim + kWorkFolder + platform::PathDelim;
}

void MustSetCurrentDirectory(const std::string& path) {
    fw::InOutCheck(platform::SetCurrentDirectory(path));
}

void MustCreateDirectory(const std::string& path) {
    fw::InOutCheck(platform::CreateDirectory(path));
}

// Clears the running job's archive on every way out of the job.
class TJobScope {
public:
    TJobScope(std::string& slot, const std::string& archive) : FSlot(slot) { FSlot = archive; }
    ~TJobScope() { FSlot.clear(); }
    TJobScope(const TJobScope&) = delete;
    TJobScope& operator=(const TJobScope&) = delete;

private:
    std::string& FSlot;
};
}  // namespace

void Tfrm::RefuseWhileJobRuns() const {
    if (JobRunning()) throw fw::Exception(Format(Text(TText::Busy), FJobArchive));
}

void Tfrm::btnJarClick(fw::TObject* /*Sender*/) {
    RefuseWhileJobRuns();
    if (!od.Execute()) return;
    RunJob(od.Files().empty() ? od.FileName() : od.Files().front());
}

void Tfrm::RunJob(const std::string& archivePath) {
    RefuseWhileJobRuns();
    TJobScope running(FJobArchive, archivePath);
    FReport = TJobReport{};
    FReport.Archive = archivePath;

    mem.Lines().Clear();
    mem.Lines().Add(Text(TText::LogInit));
    if (cbBackup.Checked()) {
        mem.Lines().Add(Text(TText::LogBackup));
        MakeBackup(archivePath);
    }
    MustSetCurrentDirectory(ExeFolder());
    PrepareWorkFolder();
    mem.Lines().Add(Text(TText::LogExtract));
    ExtractArchive(archivePath);
    mem.Lines().Add(Text(TText::LogClasses));
    PatchClasses();
    mem.Lines().Add(Text(TText::LogPayload));
    WritePayload();
    mem.Lines().Add(Text(TText::LogPack));
    MustSetCurrentDirectory(ExeFolder());
    PackArchive(archivePath);
    mem.Lines().Add(Text(TText::LogCleanup));
    CleanWorkFolder();
    mem.Lines().Add(Text(TText::LogDone));
}

void Tfrm::fsFileFound(search::TFileInformations FileFound) {
    const std::string file = FileFound.Path + platform::PathDelim + FileFound.Name;
    if (fs.FileNames().at(0) == kAllFiles) platform::DeleteFile(file);
    if (fs.FileNames().at(0) == kClassFiles) ReplaceInFile(file, kCanvasClass, kWideCanvasClass);
}

// An existing backup is kept as it is; any other failure stops the job before anything is touched.
void Tfrm::MakeBackup(const std::string& archivePath) {
    const std::string backupPath = archivePath + ".bak";
    if (!platform::CopyFile(archivePath, backupPath, true) && !platform::FileExists(backupPath))
        throw fw::Exception(Format(Text(TText::BackupFailed), archivePath));
}

// A fresh, empty work folder: whatever an earlier run left goes with the old one.
void Tfrm::PrepareWorkFolder() {
    if (!platform::DirectoryExists(kWorkFolder)) MustCreateDirectory(kWorkFolder);
    DeleteFolder(kWorkFolder);
    MustCreateDirectory(kWorkFolder);
    RunSearch(kAllFiles);
}

void Tfrm::RunSearch(const std::string& mask) {
    fs.SetRootPath(WorkFolderPath());
    fs.FileNames().clear();
    fs.FileNames().push_back(mask);
    fs.Execute();
}

// Every entry must come out and stay: an error event, a failed CRC, a file not written or gone again
// stops the job here, while the chosen archive is still untouched.
void Tfrm::ExtractArchive(const std::string& archivePath) {
    FEngineErrors = 0;
    FFilesBegun.clear();
    UnJar.SetArchiveFile(archivePath);
    UnJar.SetExtractDir(WorkFolderPath());
    const int written = UnJar.Extract();
    // A jar's folder entries begin like files; they count as there when the folder is.
    const bool allThere = std::all_of(FFilesBegun.begin(), FFilesBegun.end(), [](const std::string& path) {
        return platform::GetFileAttributes(path) != platform::kInvalidAttributes;
    });
    if (FEngineErrors > 0 || written < static_cast<int>(FFilesBegun.size()) || !allThere ||
        UnJar.ArcType() == archive::atNA)
        throw fw::Exception(Format(Text(TText::ExtractFailed), archivePath));
}

void Tfrm::PatchClasses() {
    RunSearch(kClassFiles);
}

// The payload goes in after the class pass, so the patcher never rewrites its own superclass name.
void Tfrm::WritePayload() {
    MustSetCurrentDirectory(ExeFolder());
    MustSetCurrentDirectory(kWorkFolder);
    for (const char* folder : kPayloadFolders) {
        if (!platform::DirectoryExists(folder)) MustCreateDirectory(folder);
        MustSetCurrentDirectory(folder);
    }
    if (platform::FileExists(kPayloadName)) platform::DeleteFile(kPayloadName);
    storeClass.GetStoredItem(0)->SaveToFile(kPayloadName);
}

// The new archive is built complete beside the chosen one and only then put in its place, so a
// failed packing leaves the chosen archive as it was and no half-written file behind.
void Tfrm::PackArchive(const std::string& archivePath) {
    const std::string buildPath = archivePath + kBuildSuffix;
    if (platform::FileExists(buildPath) && !platform::DeleteFile(buildPath))
        throw fw::Exception(Format(Text(TText::PackFailed), archivePath));
    FEngineErrors = 0;
    Jar.SetArchiveFile(buildPath);
    Jar.FileSpec.clear();
    Jar.FileSpec.push_back(WorkFolderPath() + kAllFiles);
    const int added = Jar.Compress();
    if (FEngineErrors > 0 || added <= 0 || !platform::ReplaceFile(buildPath, archivePath)) {
        platform::DeleteFile(buildPath);
        throw fw::Exception(Format(Text(TText::PackFailed), archivePath));
    }
}

void Tfrm::CleanWorkFolder() {
    RunSearch(kAllFiles);
    DeleteFolder(kWorkFolder);
}

}  // namespace app
