// TUnBase: the reader driver with an exclusion list.
#pragma once

#include <string>
#include <vector>

#include "archive/read/CustomDClass.h"

namespace archive {

class TUnBase : public TCustomDClass {
public:
    explicit TUnBase(fw::TComponent* owner) : TCustomDClass(owner) {}

    std::vector<std::string> ExcludeSpec;
    TOnFileName OnExcludeFile;

protected:
    bool Excluded(const std::string& name) override;
};

}  // namespace archive
