// The main window: its components, the stored settings of its description, and the patch job.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/JarCheckClasses.h"
#include "app/JobReport.h"
#include "app/Texts.h"
#include "archive/read/UnZip.h"
#include "archive/write/Jar.h"
#include "controls/ButtonComps.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "search/EasyFileSearch.h"
#include "storage/mxStorage.h"

namespace app {

class Tfrm : public fw::TForm {
public:
    explicit Tfrm(fw::TComponent* owner);

    // Component fields in declaration order.
    storage::TmxStorage storeClass;
    controls::TSelButton btnJar;
    archive::TJar Jar;
    archive::TUnJar UnJar;
    fw::TOpenDialog od;
    fw::TShape shpBg1;
    controls::TSelButton btnAbout;
    search::TEasyFileSearch fs;
    fw::TCheckBox cbBackup;
    controls::TSelButton btnExit;
    fw::TShape shpBg2;
    fw::TMemo mem;
    fw::TXPManifest XPManifest;

    void btnAboutClick(fw::TObject* Sender);
    void btnExitClick(fw::TObject* Sender);
    void btnJarClick(fw::TObject* Sender);
    void fsFileFound(search::TFileInformations FileFound);
    void FormCreate(fw::TObject* Sender);
    void FormCloseQuery(fw::TObject* Sender, bool& CanClose);

    bool ReplaceInFile(const std::string& FileName, const std::string& Search, const std::string& Replace);
    bool DeleteFolder(const std::string& Name);

    // The patch job on one archive, exactly as the main button runs it on the dialog's answer (dropped
    // files and the command line come this way). A relative path is taken against the current folder,
    // which the job never changes. Raises on failure; LastReport() says why. The job stops at its next
    // safe point once StopRequested() is set: the archive is then unchanged and jfInterrupted reported.
    // When the window was closed during the job, it closes after the job instead of raising.
    void RunJob(const std::string& archivePath);
    const TJobReport& LastReport() const { return FReport; }
    // The running job's progress over the archive in percent (unpacking 0-50, then packing 50-100), for a
    // front end's progress line; called only when assigned.
    std::function<void(int percent)> OnJobProgress;
    // The close request stores the backup box; the command line turns that off unless asked.
    bool SaveSettingsOnClose = true;
    // After a job that patched the jar, warnings (signature, .jad) appear in a message box; a front end
    // that words them from LastReport() turns that off.
    bool ShowWarnings = true;

    // True while a patch job runs (the engine lets messages through, so clicks can arrive then).
    bool JobRunning() const { return !FJobArchive.empty(); }
    // The running job's work directory (inside a folder of the run's own); empty when idle.
    const std::string& WorkFolder() const { return FWorkFolder; }

private:
    void CreateComponents();
    void AssignStoredSettings();
    void RefuseWhileJobRuns() const;

    // The job's steps, in order (the job itself is btnJarClick).
    void RunSteps(const std::string& archivePath);
    void CheckArchive(const std::string& archivePath);
    void MakeBackup(const std::string& archivePath);
    void PrepareWorkFolder();
    void ExtractArchive(const std::string& archivePath);
    void PatchClasses();
    void WritePayload();
    void PackArchive(const std::string& archivePath, const std::string& builtPath);
    void ProveRebuiltJar(const std::string& archivePath, const std::string& builtPath);
    void UpdateJad(const std::string& archivePath);
    void DeleteWorkFiles();
    void CleanWorkFolder();
    void NoteSignedJar();
    void ShowJobWarnings();
    void RunSearch(const std::string& mask);

    // Records why the job stops in the report and raises the step's message (%s: the archive as chosen).
    [[noreturn]] void Fail(TJobFailure failure, TText message, uint32_t systemError = 0, const std::string& entry = {});
    void NoteFailure(TJobFailure failure, uint32_t systemError);
    void StopIfRequested();
    void ClassifyEngineFailure(TText message);
    void NoteEngineError(const std::string& fileName, int32_t code);
    void StopUnpackingIfRequested();
    void UnpackProgress(int percent);
    void ReportProgress(int percent);
    bool NothingToPatch(const search::TFileInformations& found);
    std::string EntryNameOf(const std::string& file) const;
    void CountReplacements(const std::string& file, int count);

    TJobReport FReport;             // the running or last job's outcome
    std::string FJobArchive;        // the archive of the running job; empty when idle
    int FEngineErrors = 0;          // error events of the archive engine during the current step
    int32_t FFirstEngineError = 0;  // the first of them: its code and the file or entry concerned
    std::string FFirstEngineErrorFile;
    std::string FWorkFolder;               // the running job's work directory, with a trailing delimiter
    bool FCloseAfterJob = false;           // the window was closed during the job: close once it has stopped
    std::vector<std::string> FFilesBegun;  // files the reader set out to write in the current extraction
    TDecodedClasses FDecodedClasses;       // the original's classes as the reader decoded them
};

}  // namespace app
