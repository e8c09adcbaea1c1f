// The class patching stage: the job's patcher over every *.class below a folder.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/job/PatchRule.h"
#include "app/job/ReplaceInFile.h"
#include "bench/Stages.h"

namespace bench {

// The walk is the standard library's, so the time measured is the patcher's and not the job's file search.
int Replace(const std::string& folder) {
    int patched = 0;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file() && it->path().extension() == ".class" &&
            app::ReplaceInFile(it->path().string(), app::kCanvasClass, app::kWideCanvasClass))
            ++patched;
    }
    if (error) {
        std::fprintf(stderr, "%s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }
    std::printf("%d files patched\n", patched);
    return 0;
}

}  // namespace bench
