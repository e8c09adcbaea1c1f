// The job's care for what travels with the jar: the .jad beside it and the jar's own signature.
#include <algorithm>
#include <string>
#include <vector>

#include "app/jad/Jad.h"
#include "app/jad/JadFile.h"
#include "app/job/PatchJob.h"
#include "app/job/Texts.h"
#include "framework/Application.h"
#include "framework/Backend.h"
#include "platform/Platform.h"
#include "platform/WholeFile.h"

namespace app {

namespace {
int64_t SizeOfFile(const std::string& path) {
    const platform::THandle handle = platform::FileOpen(path, platform::fmOpenRead | platform::fmShareDenyNone);
    if (handle == platform::kInvalidHandle)
        return -1;
    const int64_t size = platform::FileSize(handle);
    platform::FileClose(handle);
    return size;
}

const char kJarUrl[] = "MIDlet-Jar-URL";

// The MIDlet-Jar-URL value's last part (the jar's name) becomes `jarName`; every other byte stays.
std::string WithJarName(std::string text, const std::string& jarName) {
    for (size_t line = 0; line < text.size();) {
        const size_t end = std::min(text.find_first_of("\r\n", line), text.size());
        const size_t colon = text.find(':', line);
        if (text.compare(line, sizeof(kJarUrl) - 1, kJarUrl) == 0 && colon < end &&
            text.find_first_not_of(' ', line + sizeof(kJarUrl) - 1) == colon) {
            const size_t value = std::min(text.find_first_not_of(' ', colon + 1), end);
            const size_t slash = text.find_last_of("/\\", end - 1);
            const size_t name = slash != std::string::npos && slash >= value ? slash + 1 : value;
            return text.replace(name, end - name, jarName);
        }
        line = end + 1;
    }
    return text;
}

// The original's .jad, updated for the jar written at `jarPath`, goes beside that jar under its base name.
TJadResult WriteJadBesideOutput(const std::string& archivePath, const std::string& jarPath, uint64_t size) {
    TJadResult result;
    const std::string source = FindJadBeside(archivePath);
    if (source.empty())
        return result;
    result.Found = true;
    std::string text;
    bool tooLarge = false;
    if (EntryKindOf(source) != TEntryKind::ekFile || !platform::ReadSmallFile(source, kMaxJadSize, text, tooLarge)) {
        result.Failure = tooLarge ? TJadFailure::jdTooLarge : TJadFailure::jdUnreadable;
        return result;
    }
    const std::string jarName = jarPath.substr(NameStart(jarPath));
    const TJadEdit edit = EditJadText(text, archivePath.substr(NameStart(archivePath)), size, true);
    if (!edit.NamesThisJar) {
        result.NamesOtherJar = true;
        result.OtherJarUrl = edit.OtherJarUrl;
        return result;
    }
    const size_t dot = jarName.find_last_of('.');
    result.Path =
        jarPath.substr(0, NameStart(jarPath)) + jarName.substr(0, dot) + source.substr(source.find_last_of('.'));
    if (!WriteFileDurably(result.Path, WithJarName(edit.Text, jarName), source, /*replace=*/true)) {
        result.Failure = TJadFailure::jdWriteFailed;
        result.SystemError = platform::LastError();
        return result;
    }
    result.Updated = true;
    result.SizeAdded = edit.SizeAdded;
    result.SignatureRemoved = edit.SignatureRemoved;
    return result;
}

}  // namespace

// The jar is patched by now: a .jad that cannot follow is a warning, not a failed job.
void TPatchJob::UpdateJad(const std::string& archivePath, const std::string& jarPath, bool backup) {
    const int64_t size = SizeOfFile(jarPath);
    if (size < 0)
        return;
    const TJadResult jad = jarPath == archivePath
                               ? UpdateJadBeside(archivePath, static_cast<uint64_t>(size), backup, true)
                               : WriteJadBesideOutput(archivePath, jarPath, static_cast<uint64_t>(size));
    FReport.JadPath = jad.Path;
    if (jad.Updated)
        Say(TText::LogJad);
    FReport.JadUpdated = jad.Updated;
    FReport.JadSignatureRemoved = jad.SignatureRemoved;
    FReport.JadFailed = jad.Failure != TJadFailure::jdNone;
    FReport.JadOtherJarUrl = jad.NamesOtherJar ? jad.OtherJarUrl : std::string();
    FReport.JadSizeAdded = jad.SizeAdded;
}

// The entries the reader set out to write, as archive names, tell whether the jar carried a signature.
void TPatchJob::NoteSignedJar() {
    std::vector<std::string> names;
    names.reserve(FFilesBegun.size());
    for (const std::string& path : FFilesBegun) {
        std::string name = path.substr(std::min(FWorkFolder.size(), path.size()));
        std::replace(name.begin(), name.end(), platform::PathDelim, '/');
        names.push_back(std::move(name));
    }
    FReport.JarSigned = IsSignedJar(names);
}

void TPatchJob::ShowJobWarnings() {
    if (!ShowWarnings)
        return;
    std::string text;
    const auto add = [&text](const std::string& line) { text += (text.empty() ? "" : "\n") + line; };
    if (FReport.JarSigned)
        add(TextWith(TText::JarSigned, {FReport.Archive}));
    if (FReport.JadSignatureRemoved)
        add(TextWith(TText::JadSignatureRemoved, {FReport.JadPath}));
    if (FReport.JadFailed)
        add(TextWith(TText::JadFailed, {FReport.JadPath}));
    if (!text.empty())
        fw::Application().MessageBox(text, fw::Application().Title(), fw::backend::MB_OK | fw::backend::MB_ICONWARNING);
}

}  // namespace app
