// The job's care for what travels with the jar: the .jad beside it and the jar's own signature.
#include <algorithm>
#include <string>
#include <vector>

#include "app/jad/Jad.h"
#include "app/job/PatchJob.h"
#include "app/job/Texts.h"
#include "framework/Application.h"
#include "framework/Backend.h"
#include "platform/Platform.h"

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

}  // namespace

// The jar is patched by now: a .jad that cannot follow is a warning, not a failed job.
void TPatchJob::UpdateJad(const std::string& archivePath, bool backup) {
    const int64_t size = SizeOfFile(archivePath);
    if (size < 0)
        return;
    const TJadResult jad = UpdateJadBeside(archivePath, static_cast<uint64_t>(size), backup, /*jarBytesChanged=*/true);
    if (jad.Updated)
        Say(TText::LogJad);
    FReport.JadPath = jad.Path;
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
