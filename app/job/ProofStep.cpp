// The job's proof of the rebuilt jar: it replaces the chosen one only when every entry is there.
#include <future>
#include <string>
#include <system_error>

#include "app/job/PatchJob.h"
#include "app/job/PatchRule.h"
#include "app/job/Texts.h"
#include "app/proof/RebuiltJarCheck.h"
#include "archive/format/Crc32.h"
#include "archive/pipeline/Cores.h"
#include "framework/Exceptions.h"
#include "platform/Platform.h"

namespace app {

namespace {
// Names without the UTF-8 flag are stored in the OEM code page; the message shows them in the ANSI one.
std::string ShownEntry(const TJarCheckResult& result) {
    return result.EntryUtf8 ? result.Entry : platform::OemToAnsi(result.Entry);
}

}  // namespace

// The work folder is never trusted here: the original's own records say what the new jar must hold. Its
// files are of no more use once packed, so they go meanwhile, while the check reads the two archives.
void TPatchJob::ProveRebuiltJar(const std::string& archivePath, const std::string& builtPath) {
    const std::vector<uint8_t> bytes = PayloadBytes();  // the check compares the added class with the real bytes
    const TExpectedPayload payload{bytes.size(), archive::Crc32(bytes)};
    const TProofRule rule = JobProofRule(FSurvey.Plan == ppSuperLink);
    const auto check = [&] { return CheckRebuiltJar(rule, archivePath, builtPath, payload, &FDecodedClasses); };
    std::future<TJarCheckResult> beside;
    try {
        if (archive::MayStartThread(archive::wkAuto))
            beside = std::async(std::launch::async, check);
    } catch (const std::system_error&) {
        // no thread to be had: the check runs after the files are gone
    }
    DeleteWorkFiles();
    const TJarCheckResult result = beside.valid() ? beside.get() : check();
    if (result.Ok())
        return;
    FReport.Failure = TJobFailure::jfCheckFailed;
    FReport.Entry = ShownEntry(result);
    throw fw::Exception(TextWith(TText::CheckFailed, {FReport.Archive, FReport.Entry}));
}

}  // namespace app
