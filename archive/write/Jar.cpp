// TJar's defaults.
#include "archive/write/Jar.h"

#include <algorithm>

#include "archive/names/EntryNames.h"
#include "platform/Platform.h"

namespace archive {

namespace {
bool IsManifest(const TCompEntry& entry) {
    const std::string name = std::string("META-INF") + platform::PathDelim + "MANIFEST.MF";
    return entry.Record.Action == eaCompress && SameAsciiText(entry.StoredName, name);
}
}  // namespace

TJar::TJar(fw::TComponent* owner) : TZip(owner) {
    FDefaultExt = ClassDefaultExt();
    FArcType = atJar;
}

void TJar::OrderEntries(std::vector<TCompEntry>& entries) {
    // Entries copied from an existing archive keep their places; only a new archive is reordered.
    if (std::any_of(entries.begin(), entries.end(), [](const TCompEntry& e) { return e.Record.Action != eaCompress; }))
        return;
    const auto manifest = std::find_if(entries.begin(), entries.end(), IsManifest);
    if (manifest != entries.end())
        std::rotate(entries.begin(), manifest, manifest + 1);
}

}  // namespace archive
