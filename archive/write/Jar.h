// TJar: the ZIP writer with the defaults of a Java archive (".jar", atJar).
#pragma once

#include "archive/write/Zip.h"

namespace archive {

class TJar : public TZip {
public:
    explicit TJar(fw::TComponent* owner = nullptr);

protected:
    std::string ClassDefaultExt() const override { return ".jar"; }
    // The manifest goes first, as jar readers look for it there; the others keep the scan's order.
    void OrderEntries(std::vector<TCompEntry>& entries) override;
};

}  // namespace archive
