// The job's proof of the rebuilt jar: it replaces the chosen one only when every entry is there.
#include <string>

#include "app/JarCheck.h"
#include "app/Texts.h"
#include "app/Unit1.h"
#include "archive/format/Crc32.h"
#include "framework/Exceptions.h"
#include "framework/Streams.h"
#include "platform/Platform.h"

namespace app {

namespace {
// The payload as the program carries it, so the check compares the added class with the real bytes.
TExpectedPayload PayloadOf(storage::TmxStorage& store) {
    fw::TMemoryStream bytes;
    store.GetStoredItem(0)->SaveToStream(bytes);
    return {bytes.Bytes().size(), archive::Crc32(bytes.Bytes())};
}

// Names without the UTF-8 flag are stored in the OEM code page; the message shows them in the ANSI one.
std::string ShownEntry(const TJarCheckResult& result) {
    return result.EntryUtf8 ? result.Entry : platform::OemToAnsi(result.Entry);
}

std::string FormatTwo(const char* pattern, const std::string& first, const std::string& second) {
    std::string text = pattern;
    const size_t at = text.find("%s");
    text.replace(at, 2, first);
    text.replace(text.find("%s", at + first.size()), 2, second);
    return text;
}
}  // namespace

// The work folder is never trusted here: the original's own records say what the new jar must hold.
void Tfrm::ProveRebuiltJar(const std::string& archivePath, const std::string& builtPath) {
    const TJarCheckResult result = CheckRebuiltJar(archivePath, builtPath, PayloadOf(storeClass), &FDecodedClasses);
    if (result.Ok())
        return;
    FReport.Failure = TJobFailure::jfCheckFailed;
    FReport.Entry = ShownEntry(result);
    throw fw::Exception(FormatTwo(Text(TText::CheckFailed), FReport.Archive, FReport.Entry));
}

}  // namespace app
