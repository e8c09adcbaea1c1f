// The main window: components, the stored values of its description, settings and the small handlers.
#include "app/Unit1.h"

#include "app/DeleteFolder.h"
#include "app/Interrupt.h"
#include "app/JobWriter.h"
#include "app/Payload.h"
#include "app/ReplaceInFile.h"
#include "app/Settings.h"
#include "app/Unit2.h"
#include "archive/Messages.h"

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
      XPManifest(this) {
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
    OnDropFile = [this](fw::TObject*, const std::string& path) { RunJob(path); };

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

    // The job watches the engine's reports so a failed unpacking or packing never costs the user's archive.
    const auto noteError = [this](fw::TObject*, const std::string& file, const std::string&, const std::string&,
                                  int32_t code) { NoteEngineError(file, code); };
    UnJar.OnError = noteError;
    UnJar.OnEnd = [this](fw::TObject*, const std::string& file, bool crcPass) {
        if (!crcPass)
            NoteEngineError(file, archive::kMsgCrcCheckFailed);
    };
    UnJar.OnBegin = [this](fw::TObject*, const std::string& path, int32_t, bool&) {
        StopUnpackingIfRequested();
        FFilesBegun.push_back(path);
    };
    Jar.OnError = noteError;
    // The writer gets no progress handler: with one it would deflate on one thread. Packing ends at a safe
    // point of the job's own, which a stop request then meets.

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
    if (JobRunning()) {
        FCloseAfterJob = true;
        RequestStop(kStopByClose);
        CanClose = false;
        return;
    }
    if (SaveSettingsOnClose)
        SaveBackupSetting(SettingsPath(), cbBackup.Checked());
}

void Tfrm::btnAboutClick(fw::TObject* /*Sender*/) {
    RefuseWhileJobRuns();
    frmAbout->ShowModal();
}

void Tfrm::btnExitClick(fw::TObject* /*Sender*/) {
    RefuseWhileJobRuns();
    Close();
}

bool Tfrm::ReplaceInFile(const std::string& FileName, const std::string& Search, const std::string& Replace) {
    return app::ReplaceInFile(FileName, Search, Replace) > 0;
}

bool Tfrm::DeleteFolder(const std::string& Name) {
    return app::DeleteFolder(Name);
}

}  // namespace app
