// The packing stage: the writer with the job's settings.
#include <cstdio>

#include "archive/write/Jar.h"
#include "bench/FailureCount.h"
#include "bench/Stages.h"

namespace bench {

int Pack(const std::string& folder, const std::string& archivePath, bool ahead) {
    archive::TJar jar(nullptr);
    TFailureCount failures;
    failures.WatchErrors(jar);
    jar.SetCompressMethod(archive::cmDeflate);
    jar.SetDefaultExt(".jar");
    jar.SetSwitch(archive::swAdd);
    jar.Attributes = {archive::fsZeroAttr, archive::fsReadOnly, archive::fsArchive, archive::fsCompressed,
                      archive::fsEncrypted};
    jar.AttributesEx = {};
    jar.StoreFilesOfType = {".ACE", ".ARC", ".ARJ", ".BH",  ".CAB", ".ENC", ".GZ",  ".HA",
                            ".JAR", ".LHA", ".LZH", ".PAK", ".PK3", ".PK_", ".RAR", ".TAR",
                            ".TGZ", ".UUE", ".UU",  ".WAR", ".XXE", ".Z",   ".ZIP", ".ZOO"};
    jar.SetArchiveFile(archivePath);
    jar.FileSpec = {WithDelimiter(folder) + "*.*"};
    if (!ahead)
        jar.OnBegin = [](fw::TObject*, const std::string&, int32_t, bool&) {};
    const int added = jar.Compress();
    std::printf("%d files added\n", added);
    return failures.Count() == 0 && added > 0 ? 0 : 1;
}

}  // namespace bench
