// TJar: the ZIP writer with the defaults of a Java archive (".jar", atJar).
#pragma once

#include "archive/Zip.h"

namespace archive {

class TJar : public TZip {
public:
    explicit TJar(fw::TComponent* owner = nullptr);

protected:
    std::string ClassDefaultExt() const override { return ".jar"; }
};

}  // namespace archive
