// The writer's compression settings and the per-file choice between storing and deflating.
#include "archive/write/CompBase.h"

#include <algorithm>
#include <cctype>

#include "archive/names/EntryNames.h"

namespace archive {

namespace {

constexpr size_t kMaxExtLength = 4;  // a default extension keeps its dot and at most three letters

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::vector<std::string> DefaultStoreFilesOfType() {
    return {".ACE", ".ARC", ".ARJ", ".BH",  ".CAB", ".ENC", ".GZ", ".HA",  ".JAR", ".LHA", ".LZH", ".PAK",
            ".PK3", ".PK_", ".RAR", ".TAR", ".TGZ", ".UUE", ".UU", ".WAR", ".XXE", ".Z",   ".ZIP", ".ZOO"};
}

TCompBase::TCompBase(fw::TComponent* owner) : TCustomCClass(owner) {}

void TCompBase::SetCompressMethod(TCompressMethod value) {
    if (AcceptedMethods() & (1u << static_cast<unsigned>(value)))
        FCompressMethod = value;
}

void TCompBase::SetDefaultExt(const std::string& value) {
    const std::string old = FDefaultExt;
    std::string ext = value;
    if (ext.empty() || ext == ".") {
        ext = ClassDefaultExt();
    } else {
        if (ext.front() != '.')
            ext.insert(0, 1, '.');
        ext = Lower(ext.substr(0, kMaxExtLength));
    }
    FDefaultExt = ext;
    if (FArchiveFile.empty())
        return;
    const std::string current = ExtractFileExt(FArchiveFile);
    if (current.empty())
        FArchiveFile += FDefaultExt;
    else if (!old.empty() && SameAsciiText(current, old))
        FArchiveFile = FArchiveFile.substr(0, FArchiveFile.size() - current.size()) + FDefaultExt;
}

void TCompBase::SetArchiveFile(const std::string& value) {
    TCustomCClass::SetArchiveFile(value);
    if (!FArchiveFile.empty() && ExtractFileExt(FArchiveFile).empty())
        FArchiveFile += FDefaultExt;
    FNewArchive = !platform::FileExists(FArchiveFile);
    ClearCancel();
}

TDeflateType TCompBase::EncoderFor(const std::string& storedName) const {
    if (FCompressMethod == cmStore || DeflateType == dtDeflateS)
        return dtDeflateS;
    const std::string ext = ExtractFileExt(storedName);
    const bool listed = !ext.empty() && std::any_of(StoreFilesOfType.begin(), StoreFilesOfType.end(),
                                                    [&](const std::string& e) { return SameAsciiText(e, ext); });
    return listed ? dtDeflateS : DeflateType;
}

}  // namespace archive
