// The patch job: the steps behind the main window's button, on the components the window owns.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/job/GameSurvey.h"
#include "app/job/JobReport.h"
#include "app/job/Texts.h"
#include "app/proof/DecodedClasses.h"
#include "archive/read/UnZip.h"
#include "archive/write/Jar.h"
#include "framework/StdCtrls.h"
#include "search/EasyFileSearch.h"
#include "storage/mxStorage.h"

namespace app {

// The window's components the job drives; the window owns them for the process's lifetime.
struct TJobComponents {
    fw::TMemoLines& Log;              // the memo's lines: one line per step
    storage::TmxStorage& Store;       // item 0 holds the full-screen canvas class
    search::TEasyFileSearch& Search;  // walks the work folder
    archive::TUnJar& Reader;
    archive::TJar& Writer;
};

class TPatchJob {
public:
    explicit TPatchJob(TJobComponents parts);
    TPatchJob(const TPatchJob&) = delete;
    TPatchJob& operator=(const TPatchJob&) = delete;

    // Hooks the job's watchers to the engine and the search; called while the window loads its components.
    void WatchComponents();

    // The job on one archive. A relative path is taken against the current folder, which the job never
    // changes. Raises on failure; LastReport() says why. The job stops at its next safe point once
    // StopRequested() is set: the archive is then unchanged and jfInterrupted reported.
    void Run(const std::string& archivePath, bool backup);
    // Reads the game as the job's look does and says what a run would do, writing nothing anywhere.
    // `replacements` of a class the plan names: LookedReplacements(entry). Raises when the job is running.
    TGameSurvey Look(const std::string& archivePath);
    int LookedReplacements(const std::string& entry);
    // Raises the window's "busy" message while a job runs (the engine lets messages through).
    void RefuseWhileRunning() const;

    const TJobReport& LastReport() const { return FReport; }
    bool Running() const { return !FJobArchive.empty(); }
    // The running job's work directory (inside a folder of the run's own); empty when idle.
    const std::string& WorkFolder() const { return FWorkFolder; }

    // The running job's progress over the archive in percent (unpacking 0-50, then packing 50-100), for a
    // front end's progress line; called only when assigned.
    std::function<void(int percent)> OnProgress;
    // Where the patched jar goes; empty: in the chosen archive's place. With a target the chosen archive and
    // its .jad stay as they are, and a .jad beside it is written updated beside the target.
    std::string OutputPath;
    // After a job that patched the jar, warnings (signature, .jad) appear in a message box; a front end
    // that words them from LastReport() turns that off.
    bool ShowWarnings = true;

    // The search's handler: deletes in the "*.*" passes, patches in the "*.class" pass.
    void FileFound(const search::TFileInformations& found);

private:
    void RunSteps(const std::string& archivePath, bool backup);
    void CheckArchive(const std::string& archivePath, const std::string& target);
    // Reads the game before anything is written; false when there is nothing to patch (said in the log).
    bool LookAtGame(const std::string& archivePath);
    std::vector<uint8_t> PayloadBytes();
    void RelinkClass(const std::string& file, const std::string& entry);
    void MakeBackup(const std::string& archivePath);
    void PrepareWorkFolder();
    void ExtractArchive(const std::string& archivePath);
    void PatchClasses();
    void WritePayload();
    void PackArchive(const std::string& archivePath, const std::string& targetPath, const std::string& builtPath);
    void ProveRebuiltJar(const std::string& archivePath, const std::string& builtPath);
    void UpdateJad(const std::string& archivePath, const std::string& jarPath, bool backup);
    void DeleteWorkFiles();
    void CleanWorkFolder();
    void NoteSignedJar();
    void ShowJobWarnings();
    void RunSearch(const std::string& mask);
    void Say(TText line);
    void SayWith(TText line, const std::string& arg);

    // Records why the job stops in the report and raises the step's message (%s: the archive as chosen).
    [[noreturn]] void Fail(TJobFailure failure, TText message, uint32_t systemError = 0, const std::string& entry = {});
    void NoteFailure(TJobFailure failure, uint32_t systemError);
    void StopIfRequested();
    [[noreturn]] void ClassifyEngineFailure(TText message);
    void NoteEngineError(const std::string& fileName, int32_t code);
    void StopUnpackingIfRequested();
    void UnpackProgress(int percent);
    void ReportProgress(int percent);
    bool NothingToPatch(const search::TFileInformations& found);
    std::string EntryNameOf(const std::string& file) const;
    void CountReplacements(const std::string& file, int count);

    TJobComponents FParts;
    TJobReport FReport;             // the running or last job's outcome
    std::string FJobArchive;        // the archive of the running job; empty when idle
    int FEngineErrors = 0;          // error events of the archive engine during the current step
    int32_t FFirstEngineError = 0;  // the first of them: its code and the file or entry concerned
    std::string FFirstEngineErrorFile;
    std::string FWorkFolder;               // the running job's work directory, with a trailing delimiter
    std::vector<std::string> FFilesBegun;  // files the reader set out to write in the current extraction
    TDecodedClasses FDecodedClasses;       // the original's classes as the look decoded them
    TGameSurvey FSurvey;                   // what the look found, and the plan
};

}  // namespace app
