// The packing stage: the writer with the job's settings.
#include <cstdio>

#include "app/job/JobWriter.h"
#include "bench/FailureCount.h"
#include "bench/Stages.h"

namespace bench {

int Pack(const std::string& folder, const std::string& archivePath, bool ahead) {
    archive::TJar jar(nullptr);
    TFailureCount failures;
    failures.WatchErrors(jar);
    app::ApplyJobWriterSettings(jar);
    jar.SetArchiveFile(archivePath);
    jar.FileSpec = {WithDelimiter(folder) + "*.*"};
    jar.Workers = ahead ? archive::wkAuto : archive::wkNever;
    const int added = jar.Compress();
    std::printf("%d files added\n", added);
    return failures.Count() == 0 && added > 0 ? 0 : 1;
}

}  // namespace bench
