// The unpacking stage: the reader with the job's settings.
#include <cstdio>

#include "archive/read/UnZip.h"
#include "bench/FailureCount.h"
#include "bench/Stages.h"

namespace bench {

int Extract(const std::string& archivePath, const std::string& folder) {
    archive::TUnJar unJar(nullptr);
    TFailureCount failures;
    failures.WatchErrors(unJar);
    failures.WatchCrc(unJar);
    unJar.CreateStoredDirs = true;
    unJar.FileSpec = {"*.*"};
    unJar.CpuType = archive::cptAuto;
    unJar.SetArchiveFile(archivePath);
    unJar.SetExtractDir(WithDelimiter(folder));
    const int written = unJar.Extract();
    std::printf("%d files written\n", written);
    return failures.Count() == 0 && written > 0 ? 0 : 1;
}

}  // namespace bench
