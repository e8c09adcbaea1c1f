// The main window: its components and the stored settings of its description; its handlers delegate to the job.
#pragma once

#include <string>
#include <vector>

#include "app/job/PatchJob.h"
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

    // The job behind the main button; the window's handlers delegate to it.
    TPatchJob Job;

    // The patch job on one archive, exactly as the main button runs it on the dialog's answer (dropped
    // files and the command line come this way), with the backup box's setting. Raises on failure;
    // LastReport() says why. When the window was closed during the job, it closes after the job instead.
    void RunJob(const std::string& archivePath);
    // Several archives one after another (the program's arguments; a drop's files come one by one to the same
    // end): one shared log with each line led by the archive's name, each failure shown naming its archive
    // while the rest go on, and a last line counting the outcomes. One archive keeps the job's own log.
    void RunJobs(const std::vector<std::string>& archivePaths);
    const TJobReport& LastReport() const { return Job.LastReport(); }
    bool JobRunning() const { return Job.Running(); }
    const std::string& WorkFolder() const { return Job.WorkFolder(); }
    // The close request stores the backup box; the command line turns that off unless asked.
    bool SaveSettingsOnClose = true;

private:
    enum class TBatchOutcome { boPatched, boUnchanged, boFailed };
    struct TBatchJar {
        std::string Name;  // the archive's file name, leading its lines
        std::vector<std::string> Lines;
        TBatchOutcome Outcome = TBatchOutcome::boPatched;
    };

    void CreateComponents();
    void AssignStoredSettings();
    void RunShown(const std::string& archivePath);
    void RunInBatch(const std::string& archivePath);
    void ShowBatch();

    std::vector<TBatchJar> FBatch;  // the archives of the batch so far

    bool FCloseAfterJob = false;  // the window was closed during the job: close once it has stopped
};

}  // namespace app
