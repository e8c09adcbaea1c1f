// The shared error paths, the cancel flag, the progress step and the stopwatch of the archive components.
#include "archive/ZipCommon.h"

#include "archive/Messages.h"
#include "framework/Application.h"
#include "platform/Platform.h"

namespace archive {

namespace {
constexpr float kTicksPerSecond = 1000.0f;  // the tick count is in milliseconds
}

uint8_t Percent(uint64_t done, uint64_t total) {
    if (total == 0)
        return 0;
    if (done >= total)
        return 100;
    return static_cast<uint8_t>((done * 100 + total / 2) / total);
}

void TZipCommon::SetArchiveFile(const std::string& value) {
    FArchiveFile = value;
    for (char& c : FArchiveFile)
        if (c == '/' || c == '\\')
            c = platform::PathDelim;
}

void TZipCommon::SetCancel(bool value) {
    FCancel = value;
    if (value)
        ReportError(FCurrentFile, "", kMsgUserCanceled);
}

std::string TZipCommon::VolumeID() const {
    return FArchiveFile.empty() ? std::string("0") : FArchiveFile;
}

void TZipCommon::FireError(const std::string& fileName, const std::string& extendedMsg, int32_t code) {
    if (FCancel)
        code = kMsgUserCanceled;
    if (OnError)
        OnError(this, fileName, extendedMsg, VolumeID(), code);
}

void TZipCommon::ReportError(const std::string& fileName, const std::string& extendedMsg, int32_t code) {
    PauseTimer();
    FireError(fileName, extendedMsg, code);
    ResumeTimer();
}

void TZipCommon::RaiseError(const std::string& fileName, const std::string& extendedMsg, int32_t code) {
    PauseTimer();
    FireError(fileName, extendedMsg, code);
    ResumeTimer();
    if (!FCancel)
        throw E_RAISE(code);
}

TAppHook ApplicationHook() {
    return {[] { fw::Application().ProcessMessages(); },
            [](const std::string& text, uint32_t flags) {
                return fw::Application().MessageBox(text, fw::Application().Title(), flags);
            }};
}

void TZipCommon::ProcessMessages() const {
    if (AppHook.ProcessMessages)
        AppHook.ProcessMessages();
}

int TZipCommon::MessageBox(const std::string& text, uint32_t flags) const {
    return AppHook.MessageBox ? AppHook.MessageBox(text, flags) : 0;
}

void TZipCommon::DoProgress(uint64_t fileDone, uint64_t fileTotal, uint64_t archiveDone, uint64_t archiveTotal) {
    ProcessMessages();
    if (OnProgress)
        OnProgress(this, Percent(fileDone, fileTotal), Percent(archiveDone, archiveTotal));
}

void TZipCommon::StartTimer() {
    FTimerRunning = static_cast<bool>(OnElapsedTime);
    FPaused = false;
    FStartTick = platform::GetTickCount();
}

void TZipCommon::StopTimer() {
    if (!FTimerRunning)
        return;
    FTimerRunning = false;
    const uint32_t elapsed = platform::GetTickCount() - FStartTick;
    if (OnElapsedTime)
        OnElapsedTime(this, static_cast<float>(elapsed) / kTicksPerSecond);
}

void TZipCommon::PauseTimer() {
    if (!FTimerRunning)
        return;
    FPauseTick = platform::GetTickCount();
    FPaused = true;
}

void TZipCommon::ResumeTimer() {
    if (!FTimerRunning || !FPaused)
        return;
    FStartTick += platform::GetTickCount() - FPauseTick;
    FPaused = false;
}

}  // namespace archive
