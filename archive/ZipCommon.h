// TZipCommon: what the archive reader and writer share: archive name and type, events, error paths, cancel flag.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/format/ArchiveType.h"
#include "framework/Component.h"

namespace archive {

using TOnError = std::function<void(fw::TObject* Sender,
                                    const std::string& FileName,
                                    const std::string& ExtendedMsg,
                                    const std::string& VolumeID,
                                    int32_t ECode)>;
using TOnElapsedTime = std::function<void(fw::TObject* Sender, float ElapsedTime)>;
using TOnProgress = std::function<void(fw::TObject* Sender, uint8_t ByFile, uint8_t ByArchive)>;
using TOnBegin = std::function<void(fw::TObject* Sender, const std::string& FileName, int32_t Count, bool& Extract)>;
using TOnEnd = std::function<void(fw::TObject* Sender, const std::string& FileName, bool CRC_PASS)>;
using TOnGetPassword =
    std::function<void(fw::TObject* Sender, const std::string& FileName, std::string& Password, bool& TryAgain)>;
using TOnFileName = std::function<void(fw::TObject* Sender, const std::string& FileName)>;

// The engine's one way to the application object: its messages kept flowing during long work (called on the
// caller's thread only), and a message box for the user. The default goes to fw::Application() with its title.
struct TAppHook {
    std::function<void()> ProcessMessages;
    std::function<int(const std::string& text, uint32_t flags)> MessageBox;
};
TAppHook ApplicationHook();

// Whether a component hands work to threads of its own (files deflated ahead, large entries written behind).
// wkAuto: when there are two cores or more and no handler runs within an entry (OnProgress unassigned), as
// every event comes on the caller's thread; wkNever: all on the caller's thread.
enum TWorkers { wkAuto, wkNever };

// Percentage of `done` in `total`, rounded, 0..100, 0 when the total is 0.
uint8_t Percent(uint64_t done, uint64_t total);

class TZipCommon : public fw::TComponent {
public:
    explicit TZipCommon(fw::TComponent* owner) : fw::TComponent(owner) {}

    const std::string& ArchiveFile() const { return FArchiveFile; }
    virtual void SetArchiveFile(const std::string& value);
    TArcType ArcType() const { return FArcType; }

    // The cancel flag; setting it reports "User canceled" at once. The scan and streams share it by reference.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool value);
    const bool& CancelFlag() const { return FCancel; }

    // Settings shared by reader and writer.
    std::vector<std::string> FileSpec;
    bool RecurseDirs = true;
    bool TranslateOemChar = true;
    std::vector<std::string> Passwords;
    TWorkers Workers = wkAuto;
    TAppHook AppHook = ApplicationHook();

    fw::TNotifyEvent OnActivate;
    fw::TNotifyEvent OnDeactivate;
    TOnBegin OnBegin;
    TOnEnd OnEnd;
    TOnError OnError;
    TOnElapsedTime OnElapsedTime;
    TOnGetPassword OnGetPassword;
    TOnProgress OnProgress;

protected:
    // Through AppHook, when it has the function.
    void ProcessMessages() const;
    int MessageBox(const std::string& text, uint32_t flags) const;

    // Non-fatal path: only OnError (with 25443 while the cancel flag is set).
    virtual void ReportError(const std::string& fileName, const std::string& extendedMsg, int32_t code);
    // Fatal path: as above, then E_RAISE with the code's text unless the cancel flag is set.
    virtual void RaiseError(const std::string& fileName, const std::string& extendedMsg, int32_t code);

    // Lets the application process its messages, then fires OnProgress with both percentages.
    void DoProgress(uint64_t fileDone, uint64_t fileTotal, uint64_t archiveDone, uint64_t archiveTotal);

    // The operation's stopwatch; it runs only when OnElapsedTime is assigned.
    void StartTimer();
    void StopTimer();  // fires OnElapsedTime

    void ClearCancel() { FCancel = false; }
    // The archive file as reported with errors ("0" when there is none).
    std::string VolumeID() const;

    std::string FArchiveFile;
    TArcType FArcType = atNA;
    std::string FCurrentFile;  // entry or file being worked on, for the cancel report

private:
    void PauseTimer();
    void ResumeTimer();
    void FireError(const std::string& fileName, const std::string& extendedMsg, int32_t code);

    bool FCancel = false;
    bool FTimerRunning = false;
    uint32_t FStartTick = 0;
    uint32_t FPauseTick = 0;
    bool FPaused = false;
};

}  // namespace archive
