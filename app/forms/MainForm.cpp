// The main window: components, the stored values of its description, settings and the small handlers.
#include "app/forms/MainForm.h"

#include "app/forms/AboutForm.h"
#include "app/forms/Payload.h"
#include "app/forms/Settings.h"
#include "app/job/DeleteFolder.h"
#include "app/job/Interrupt.h"
#include "app/job/JobWriter.h"
#include "app/job/Reasons.h"
#include "app/job/ReplaceInFile.h"
#include "app/job/Texts.h"
#include "framework/Exceptions.h"

namespace app {

namespace {
// Colours as the form description stores them (low byte red).
constexpr fw::TColor kWindowBack = 15590616;  // #D8E4ED
constexpr fw::TColor kPanelFill = 16052200;   // #E8EFF4
constexpr fw::TColor kOutline = 10179597;     // #0D549B
constexpr uint8_t kCyrillicCharset = 204;     // RUSSIAN_CHARSET

// "Grandvue! для Motorola"
const char kCaption[] = "Grandvue! \xE4\xEB\xFF Motorola";
// "Исправить Jar...", "О программе", "Выход", "Создавать backup"
const char kJarCaption[] = "\xC8\xF1\xEF\xF0\xE0\xE2\xE8\xF2\xFC Jar...";
const char kAboutCaption[] = "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5";
const char kExitCaption[] = "\xC2\xFB\xF5\xEE\xE4";
const char kBackupCaption[] = "\xD1\xEE\xE7\xE4\xE0\xE2\xE0\xF2\xFC backup";
// "Jar файлы|*.jar|Все файлы|*.*", "Открыть Jar"
const char kOpenFilter[] = "Jar \xF4\xE0\xE9\xEB\xFB|*.jar|\xC2\xF1\xE5 \xF4\xE0\xE9\xEB\xFB|*.*";
const char kOpenTitle[] = "\xCE\xF2\xEA\xF0\xFB\xF2\xFC Jar";

std::string FileNameOf(const std::string& path) {
    return path.substr(path.find_last_of("\\/") + 1);
}

void SetArial11(fw::TFont& font, fw::TColor color) {
    font.SetName("Arial");
    font.SetHeight(-11);
    font.SetCharset(kCyrillicCharset);
    font.SetColor(color);
}

void PlacePanel(fw::TShape& shape, fw::TWinControl& parent, int left, int top, int width, int height) {
    shape.SetParent(&parent);
    shape.SetBounds(left, top, width, height);
    shape.Brush().Color = kPanelFill;
    shape.Pen().Color = kOutline;
}

void PlaceButton(controls::TSelButton& button,
                 fw::TWinControl& parent,
                 const char* name,
                 int top,
                 const char* caption) {
    button.BeginLoading();
    button.SetName(name);
    button.SetParent(&parent);
    button.SetBounds(14, top, 141, 20);
    button.SetCaption(caption);
    button.SetColor(kPanelFill);
    button.SetColorBorder(kOutline);
    button.SetColorOver(kOutline);
    button.SetColorDown(kOutline);
    button.SetColorOverCaption(fw::clWhite);
    button.SetAlignment(fw::taLeftJustify);
    button.SetBorderWidth(1);
    button.SetEnabled(true);
    button.ShowHint = true;
    button.ParentShowHint = false;
    SetArial11(button.Font(), kOutline);
    button.EndLoading();
}
}  // namespace

Tfrm::Tfrm(fw::TComponent* owner)
    : fw::TForm(owner),
      storeClass(this),
      btnJar(this),
      Jar(this),
      UnJar(this),
      od(this),
      shpBg1(this),
      btnAbout(this),
      fs(this),
      cbBackup(this),
      btnExit(this),
      shpBg2(this),
      mem(this),
      XPManifest(this),
      Job({mem.Lines(), storeClass, fs, UnJar, Jar}) {
    BeginLoading();
    CreateComponents();
    AssignStoredSettings();
    EndLoading();
}

// The visible components, in creation (and painting) order.
void Tfrm::CreateComponents() {
    SetName("frm");
    SetCaption(kCaption);
    SetBorderStyle(fw::bsSingle);
    SetBorderIcons(fw::biSystemMenu | fw::biMinimize);
    SetClientWidth(617);
    SetClientHeight(119);
    SetColor(kWindowBack);
    SetArial11(Font(), fw::clBlack);
    Position = fw::poScreenCenter;
    OnCreate = [this](fw::TObject* sender) { FormCreate(sender); };
    OnCloseQuery = [this](fw::TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    OnDropFiles = [this](fw::TObject*, const std::vector<std::string>& paths) { RunJobs(paths); };

    PlacePanel(shpBg2, *this, 167, 8, 442, 103);
    PlacePanel(shpBg1, *this, 8, 8, 153, 103);
    PlaceButton(btnJar, *this, "btnJar", 14, kJarCaption);
    PlaceButton(btnAbout, *this, "btnAbout", 40, kAboutCaption);
    PlaceButton(btnExit, *this, "btnExit", 66, kExitCaption);
    btnJar.OnClick = [this](fw::TObject* sender) { btnJarClick(sender); };
    btnAbout.OnClick = [this](fw::TObject* sender) { btnAboutClick(sender); };
    btnExit.OnClick = [this](fw::TObject* sender) { btnExitClick(sender); };

    cbBackup.SetParent(this);
    cbBackup.SetBounds(14, 90, 142, 17);
    cbBackup.SetCaption(kBackupCaption);
    cbBackup.TabOrder = 0;

    mem.SetParent(this);
    mem.SetBounds(172, 13, 432, 93);
    mem.SetBorderStyle(fw::bsNone);
    mem.SetColor(kPanelFill);
    mem.SetReadOnly(true);
    mem.SetScrollBars(fw::ssVertical);
    mem.TabOrder = 1;
}

// The non-visual components' stored settings the job relies on, assigned as loading assigns them.
void Tfrm::AssignStoredSettings() {
    fs.BeginLoading();
    UnJar.BeginLoading();
    Jar.BeginLoading();
    fs.SearchOptions = {search::okIncludeSubfolder,  search::okLookForReadOnlyFile, search::okLookForHiddenFile,
                        search::okLookForSystemFile, search::okLookForArchiveFile,  search::okLookForAnyFile};
    fs.FilterKind = {};
    fs.OnFileFound = [this](search::TFileInformations found) { fsFileFound(found); };

    Job.WatchComponents();

    UnJar.CreateStoredDirs = true;
    UnJar.FileSpec = {"*.*"};
    UnJar.CpuType = archive::cptAuto;

    ApplyJobWriterSettings(Jar);
    // The stored folder of the original setup; where it does not exist the system's temporary folder is used.
    Jar.SetTempDir("C:\\DOCUME~1\\All\\LOCALS~1\\Temp\\");

    Jar.EndLoading();
    UnJar.EndLoading();
    fs.EndLoading();

    od.Filter = kOpenFilter;
    od.FilterIndex = 1;
    od.Title = kOpenTitle;
    od.Options = fw::ofHideReadOnly | fw::ofNoReadOnlyReturn | fw::ofEnableSizing;

    LoadStoreClass(storeClass);
}

void Tfrm::FormCreate(fw::TObject* /*Sender*/) {
    cbBackup.SetChecked(LoadBackupSetting(SettingsPath()));
}

// A close during a job stops it at its next safe point; the window closes once it has (RunJob).
void Tfrm::FormCloseQuery(fw::TObject* /*Sender*/, bool& CanClose) {
    if (Job.Running()) {
        FCloseAfterJob = true;
        RequestStop(kStopByClose);
        CanClose = false;
        return;
    }
    if (SaveSettingsOnClose)
        SaveBackupSetting(SettingsPath(), cbBackup.Checked());
}

void Tfrm::btnAboutClick(fw::TObject* /*Sender*/) {
    Job.RefuseWhileRunning();
    frmAbout->ShowModal();
}

void Tfrm::btnExitClick(fw::TObject* /*Sender*/) {
    Job.RefuseWhileRunning();
    Close();
}

void Tfrm::btnJarClick(fw::TObject* /*Sender*/) {
    Job.RefuseWhileRunning();
    if (!od.Execute())
        return;
    RunShown(od.Files().empty() ? od.FileName() : od.Files().front());
}

// The job as the window raises its failure: the job's message as it was, then why on a second line.
void Tfrm::RunShown(const std::string& archivePath) {
    try {
        RunJob(archivePath);
    } catch (const std::exception& error) {
        throw fw::Exception(MessageWithReason(error.what(), LastReport()));
    }
}

void Tfrm::RunJobs(const std::vector<std::string>& archivePaths) {
    Job.RefuseWhileRunning();
    FBatch.clear();
    for (const std::string& path : archivePaths) {
        RunInBatch(path);
        if (!Showing())  // closed during the job
            return;
    }
}

// One archive of a batch: its log kept for the batch's, its failure shown at once (the batch goes on).
void Tfrm::RunInBatch(const std::string& archivePath) {
    TBatchJar jar{FileNameOf(archivePath), {}, TBatchOutcome::boPatched};
    std::string failure;
    try {
        RunJob(archivePath);
        if (LastReport().Outcome != TJobOutcome::joPatched)
            jar.Outcome = TBatchOutcome::boUnchanged;
    } catch (const std::exception& error) {
        jar.Outcome = TBatchOutcome::boFailed;
        failure = MessageWithReason(error.what(), LastReport());
    }
    for (int i = 0; i < mem.Lines().Count(); ++i)
        jar.Lines.push_back(mem.Lines()[i]);
    FBatch.push_back(std::move(jar));
    ShowBatch();
    if (failure.empty())
        return;
    // A bare run-time error does not name the archive; the user must know which game it concerned.
    if (failure.find(FBatch.back().Name) == std::string::npos)
        failure = JoinTexts(FBatch.back().Name, ": ", failure);
    fw::Application().HandleException(fw::Exception(failure));
}

void Tfrm::ShowBatch() {
    fw::TMemoLines& log = mem.Lines();
    log.Clear();
    if (FBatch.size() == 1) {
        for (const std::string& line : FBatch.front().Lines)
            log.Add(line);
        return;
    }
    int counts[3] = {};  // by TBatchOutcome
    for (const TBatchJar& jar : FBatch) {
        ++counts[static_cast<int>(jar.Outcome)];
        for (const std::string& line : jar.Lines)
            log.Add(JoinTexts(jar.Name, ": ", line));
    }
    log.Add(TextWith(TText::BatchSummary,
                     {std::to_string(counts[0]), std::to_string(counts[1]), std::to_string(counts[2])}));
}

// A close during the job is carried out once the job has stopped; until then any failure is the user's to see.
void Tfrm::RunJob(const std::string& archivePath) {
    try {
        Job.Run(archivePath, cbBackup.Checked());
    } catch (...) {  // swallows the job's failure only when a close waits for the job: it is in LastReport()
        if (!FCloseAfterJob)
            throw;
    }
    if (FCloseAfterJob) {
        FCloseAfterJob = false;
        ClearStopRequest();
        Close();
    }
}

void Tfrm::fsFileFound(search::TFileInformations FileFound) {
    Job.FileFound(FileFound);
}

bool Tfrm::ReplaceInFile(const std::string& FileName, const std::string& Search, const std::string& Replace) {
    return app::ReplaceInFile(FileName, Search, Replace) > 0;
}

bool Tfrm::DeleteFolder(const std::string& Name) {
    return app::DeleteFolder(Name);
}

}  // namespace app
