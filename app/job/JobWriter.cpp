// The patch job's writer settings.
#include "app/job/JobWriter.h"

namespace app {

void ApplyJobWriterSettings(archive::TJar& jar) {
    jar.SetCompressMethod(archive::cmDeflate);
    jar.SetDefaultExt(".jar");
    jar.SetSwitch(archive::swAdd);
    jar.IncludeHiddenFiles = true;
    jar.Attributes = {archive::fsZeroAttr, archive::fsReadOnly, archive::fsArchive, archive::fsCompressed,
                      archive::fsEncrypted};
    jar.AttributesEx = {};
    jar.StoreFilesOfType = {".ACE", ".ARC", ".ARJ", ".BH",  ".CAB", ".ENC", ".GZ",  ".HA",
                            ".JAR", ".LHA", ".LZH", ".PAK", ".PK3", ".PK_", ".RAR", ".TAR",
                            ".TGZ", ".UUE", ".UU",  ".WAR", ".XXE", ".Z",   ".ZIP", ".ZOO"};
}

}  // namespace app
