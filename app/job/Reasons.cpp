// The failure reasons: Russian (Windows-1251) and English line for line, filled with the entry concerned.
#include "app/job/Reasons.h"

#include <algorithm>
#include <iterator>

#include "app/job/Texts.h"
#include "framework/Application.h"
#include "platform/Platform.h"

namespace app {

namespace {

struct TWording {
    const char* Russian;  // Windows-1251
    const char* English;
};

struct TReason {
    TJobFailure Failure;
    TWording WithEntry;  // "%s" the entry (then, for a refused screen class, why)
    TWording NoEntry;    // when the report names no entry
    bool LeavesFile;     // the file was there and stays as it was
};

// "файл не найден", "доступ запрещён", "это папка, а не jar-файл", "не является архивом ZIP/JAR"
const TWording kNotFound = {"\xF4\xE0\xE9\xEB \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED", "no such file"};
const TWording kAccessDenied = {"\xE4\xEE\xF1\xF2\xF3\xEF \xE7\xE0\xEF\xF0\xE5\xF9\xB8\xED", "permission denied"};
const TWording kIsFolder = {"\xFD\xF2\xEE \xEF\xE0\xEF\xEA\xE0, \xE0 \xED\xE5 jar-\xF4\xE0\xE9\xEB",
                            "is a folder, not a jar file"};
const TWording kNotArchive = {"\xED\xE5 \xFF\xE2\xEB\xFF\xE5\xF2\xF1\xFF \xE0\xF0\xF5\xE8\xE2\xEE\xEC ZIP/JAR",
                              "not a ZIP/JAR archive"};
// "архив повреждён: не читается элемент %s", "архив повреждён"
const TWording kDamagedEntry = {
    "\xE0\xF0\xF5\xE8\xE2 \xEF\xEE\xE2\xF0\xE5\xE6\xE4\xB8\xED: \xED\xE5 \xF7\xE8\xF2\xE0\xE5\xF2\xF1\xFF "
    "\xFD\xEB\xE5\xEC\xE5\xED\xF2 %s",
    "damaged archive: entry %s cannot be read"};
const TWording kDamaged = {"\xE0\xF0\xF5\xE8\xE2 \xEF\xEE\xE2\xF0\xE5\xE6\xE4\xB8\xED", "damaged archive"};
// "элемент %s сжат методом, который grandvue не читает"
const TWording kUnsupportedMethod = {
    "\xFD\xEB\xE5\xEC\xE5\xED\xF2 %s \xF1\xE6\xE0\xF2 \xEC\xE5\xF2\xEE\xE4\xEE\xEC, \xEA\xEE\xF2\xEE\xF0\xFB\xE9 "
    "grandvue \xED\xE5 \xF7\xE8\xF2\xE0\xE5\xF2",
    "entry %s uses a compression method grandvue cannot read"};
// "диск заполнен при записи %s", "диск заполнен"
const TWording kDiskFullEntry = {
    "\xE4\xE8\xF1\xEA \xE7\xE0\xEF\xEE\xEB\xED\xE5\xED \xEF\xF0\xE8 \xE7\xE0\xEF\xE8\xF1\xE8 %s",
    "disk full while writing %s"};
const TWording kDiskFull = {"\xE4\xE8\xF1\xEA \xE7\xE0\xEF\xEE\xEB\xED\xE5\xED", "disk full"};
// "в его папку нельзя записывать"
const TWording kReadOnlyFolder = {
    "\xE2 \xE5\xE3\xEE \xEF\xE0\xEF\xEA\xF3 \xED\xE5\xEB\xFC\xE7\xFF \xE7\xE0\xEF\xE8\xF1\xFB\xE2\xE0\xF2\xFC",
    "its folder cannot be written"};
// "новый архив получился неполным (элемент %s)"
const TWording kCheckFailed = {
    "\xED\xEE\xE2\xFB\xE9 \xE0\xF0\xF5\xE8\xE2 \xEF\xEE\xEB\xF3\xF7\xE8\xEB\xF1\xFF \xED\xE5\xEF\xEE\xEB\xED\xFB\xEC "
    "(\xFD\xEB\xE5\xEC\xE5\xED\xF2 %s)",
    "the rebuilt archive is incomplete (entry %s)"};
// "класс экрана %s нельзя перенести на WideCv (%s)"
const TWording kRelinkRefused = {
    "\xEA\xEB\xE0\xF1\xF1 \xFD\xEA\xF0\xE0\xED\xE0 %s \xED\xE5\xEB\xFC\xE7\xFF \xEF\xE5\xF0\xE5\xED\xE5\xF1\xF2\xE8 "
    "\xED\xE0 WideCv (%s)",
    "screen class %s cannot be moved onto WideCv (%s)"};
// "не удалось создать резервную копию", "прервано"
const TWording kBackupFailed = {
    "\xED\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xE7\xE4\xE0\xF2\xFC \xF0\xE5\xE7\xE5\xF0\xE2\xED\xF3\xFE "
    "\xEA\xEE\xEF\xE8\xFE",
    "could not make the backup copy"};
// "элемент %s зашифрован", "имя элемента %s нельзя записать в этой системе"
const TWording kEncrypted = {"\xFD\xEB\xE5\xEC\xE5\xED\xF2 %s \xE7\xE0\xF8\xE8\xF4\xF0\xEE\xE2\xE0\xED",
                             "entry %s is encrypted"};
const TWording kNameNotRepresentable = {
    "\xE8\xEC\xFF \xFD\xEB\xE5\xEC\xE5\xED\xF2\xE0 %s \xED\xE5\xEB\xFC\xE7\xFF \xE7\xE0\xEF\xE8\xF1\xE0\xF2\xFC \xE2 "
    "\xFD\xF2\xEE\xE9 \xF1\xE8\xF1\xF2\xE5\xEC\xE5",
    "the name of entry %s cannot be written on this system"};
const TWording kInterrupted = {"\xEF\xF0\xE5\xF0\xE2\xE0\xED\xEE", "interrupted"};

// A reason that names the entry falls back to "?" for it where the report has none.
const TReason kReasons[] = {
    {TJobFailure::jfNotFound, kNotFound, kNotFound, false},
    {TJobFailure::jfIsFolder, kIsFolder, kIsFolder, false},
    {TJobFailure::jfAccessDenied, kAccessDenied, kAccessDenied, true},
    {TJobFailure::jfNotArchive, kNotArchive, kNotArchive, true},
    {TJobFailure::jfDamaged, kDamagedEntry, kDamaged, true},
    {TJobFailure::jfUnsupportedMethod, kUnsupportedMethod, kUnsupportedMethod, true},
    {TJobFailure::jfEncrypted, kEncrypted, kEncrypted, true},
    {TJobFailure::jfNameNotRepresentable, kNameNotRepresentable, kNameNotRepresentable, true},
    {TJobFailure::jfDiskFull, kDiskFullEntry, kDiskFull, true},
    {TJobFailure::jfReadOnlyFolder, kReadOnlyFolder, kReadOnlyFolder, true},
    {TJobFailure::jfCheckFailed, kCheckFailed, kCheckFailed, true},
    {TJobFailure::jfRelinkRefused, kRelinkRefused, kRelinkRefused, true},
    {TJobFailure::jfBackupFailed, kBackupFailed, kBackupFailed, true},
    {TJobFailure::jfInterrupted, kInterrupted, kInterrupted, true},
};

const TReason* ReasonFor(TJobFailure failure) {
    const auto found =
        std::find_if(std::begin(kReasons), std::end(kReasons), [&](const TReason& r) { return r.Failure == failure; });
    return found == std::end(kReasons) ? nullptr : found;
}

const char* InLanguage(const TWording& wording) {
    return Language() == TLanguage::Russian ? wording.Russian : wording.English;
}

bool HasNonAscii(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

std::string ReasonLine(const TJobReport& report) {
    const TReason* reason = ReasonFor(report.Failure);
    if (!reason)
        return {};
    const TWording& wording = report.Entry.empty() ? reason->NoEntry : reason->WithEntry;
    const std::string entry = report.Entry.empty() ? "?" : report.Entry;
    return platform::ComposeText(InLanguage(wording), {entry, report.Detail.empty() ? "?" : report.Detail});
}

bool FailureLeavesFile(TJobFailure failure) {
    const TReason* reason = ReasonFor(failure);
    return reason && reason->LeavesFile;
}

std::string JoinTexts(const std::string& first, const std::string& separator, const std::string& second) {
    if (!HasNonAscii(first) || !HasNonAscii(second) || platform::IsUtf8(first) == platform::IsUtf8(second))
        return first + separator + second;
    const auto utf8 = [](const std::string& text) {
        return platform::IsUtf8(text) ? text : platform::Cp1251ToUtf8(text);
    };
    return utf8(first) + separator + utf8(second);
}

std::string MessageWithReason(const std::string& message, const TJobReport& report) {
    const std::string reason = ReasonLine(report);
    const std::string shown = fw::FormatErrorMessage(message);
    return reason.empty() ? shown : JoinTexts(shown, "\n", reason);
}

}  // namespace app
