// The patch job behind the main button: unpack the archive, patch every class, add the full-screen
// canvas class, pack the work folder back, clean up; one log line per step.
#include <algorithm>
#include <string>

#include "app/Settings.h"
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

// Log lines (Windows-1251).
// "Инициализация"
const char kLogInit[] = "\xC8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xFF";
// "Создание backup копии jar файла"
const char kLogBackup[] = "\xD1\xEE\xE7\xE4\xE0\xED\xE8\xE5 backup \xEA\xEE\xEF\xE8\xE8 jar \xF4\xE0\xE9\xEB\xE0";
// "Извлечение файлов в временную директорию"
const char kLogExtract[] =
    "\xC8\xE7\xE2\xEB\xE5\xF7\xE5\xED\xE8\xE5 \xF4\xE0\xE9\xEB\xEE\xE2 \xE2 "
    "\xE2\xF0\xE5\xEC\xE5\xED\xED\xF3\xFE \xE4\xE8\xF0\xE5\xEA\xF2\xEE\xF0\xE8\xFE";
// "Обработка классов"
const char kLogClasses[] = "\xCE\xE1\xF0\xE0\xE1\xEE\xF2\xEA\xE0 \xEA\xEB\xE0\xF1\xF1\xEE\xE2";
// "Запись класса WideCv"
const char kLogPayload[] = "\xC7\xE0\xEF\xE8\xF1\xFC \xEA\xEB\xE0\xF1\xF1\xE0 WideCv";
// "Создание jar файла"
const char kLogPack[] = "\xD1\xEE\xE7\xE4\xE0\xED\xE8\xE5 jar \xF4\xE0\xE9\xEB\xE0";
// "Очистка временной директории"
const char kLogCleanup[] =
    "\xCE\xF7\xE8\xF1\xF2\xEA\xE0 \xE2\xF0\xE5\xEC\xE5\xED\xED\xEE\xE9 \xE4\xE8\xF0\xE5\xEA\xF2\xEE\xF0\xE8\xE8";
// "Работа завершена"
const char kLogDone[] = "\xD0\xE0\xE1\xEE\xF2\xE0 \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xE0";

// Why a job stopped with the user's archive untouched (Windows-1251; %s is the archive).
// "Не удалось создать backup копию файла %s. Файл не изменён"
const char kBackupFailed[] =
    "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xE7\xE4\xE0\xF2\xFC backup \xEA\xEE\xEF\xE8\xFE "
    "\xF4\xE0\xE9\xEB\xE0 %s. \xD4\xE0\xE9\xEB \xED\xE5 \xE8\xE7\xEC\xE5\xED\xB8\xED";
// "Не удалось распаковать файл %s. Файл не изменён"
const char kExtractFailed[] =
    "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF0\xE0\xF1\xEF\xE0\xEA\xEE\xE2\xE0\xF2\xFC \xF4\xE0\xE9\xEB %s. "
    "\xD4\xE0\xE9\xEB \xED\xE5 \xE8\xE7\xEC\xE5\xED\xB8\xED";
// "Не удалось создать jar файл %s. Файл не изменён"
const char kPackFailed[] =
    "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xE7\xE4\xE0\xF2\xFC jar \xF4\xE0\xE9\xEB %s. "
    "\xD4\xE0\xE9\xEB \xED\xE5 \xE8\xE7\xEC\xE5\xED\xB8\xED";
// "Идёт обработка файла %s. Дождитесь завершения работы"
const char kBusy[] =
    "\xC8\xE4\xB8\xF2 \xEE\xE1\xF0\xE0\xE1\xEE\xF2\xEA\xE0 \xF4\xE0\xE9\xEB\xE0 %s. "
    "\xC4\xEE\xE6\xE4\xE8\xF2\xE5\xF1\xFC \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xE8\xFF \xF0\xE0\xE1\xEE\xF2\xFB";

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
    if (JobRunning()) throw fw::Exception(Format(kBusy, FJobArchive));
}

void Tfrm::btnJarClick(fw::TObject* /*Sender*/) {
    RefuseWhileJobRuns();
    if (!od.Execute()) return;
    const std::string archivePath = od.Files().empty() ? od.FileName() : od.Files().front();
    TJobScope running(FJobArchive, archivePath);

    mem.Lines().Clear();
    mem.Lines().Add(kLogInit);
    if (cbBackup.Checked()) {
        mem.Lines().Add(kLogBackup);
        MakeBackup(archivePath);
    }
    MustSetCurrentDirectory(ExeFolder());
    PrepareWorkFolder();
    mem.Lines().Add(kLogExtract);
    ExtractArchive(archivePath);
    mem.Lines().Add(kLogClasses);
    PatchClasses();
    mem.Lines().Add(kLogPayload);
    WritePayload();
    mem.Lines().Add(kLogPack);
    MustSetCurrentDirectory(ExeFolder());
    PackArchive(archivePath);
    mem.Lines().Add(kLogCleanup);
    CleanWorkFolder();
    mem.Lines().Add(kLogDone);
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
        throw fw::Exception(Format(kBackupFailed, archivePath));
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
        throw fw::Exception(Format(kExtractFailed, archivePath));
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
        throw fw::Exception(Format(kPackFailed, archivePath));
    FEngineErrors = 0;
    Jar.SetArchiveFile(buildPath);
    Jar.FileSpec.clear();
    Jar.FileSpec.push_back(WorkFolderPath() + kAllFiles);
    const int added = Jar.Compress();
    if (FEngineErrors > 0 || added <= 0 || !platform::ReplaceFile(buildPath, archivePath)) {
        platform::DeleteFile(buildPath);
        throw fw::Exception(Format(kPackFailed, archivePath));
    }
}

void Tfrm::CleanWorkFolder() {
    RunSearch(kAllFiles);
    DeleteFolder(kWorkFolder);
}

}  // namespace app
