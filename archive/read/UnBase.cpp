// Exclusion of entries by ExcludeSpec.
#include "archive/read/UnBase.h"

#include "archive/read/FileSpec.h"

namespace archive {

bool TUnBase::Excluded(const std::string& name) {
    for (const std::string& exclude : ExcludeSpec) {
        std::string mask = exclude;  // the exclusion list itself never changes
        if (mask.empty() || !MaskSelects(mask, name, RecurseDirs))
            continue;
        fw::Fire(OnExcludeFile, this, name);
        return true;
    }
    return false;
}

}  // namespace archive
