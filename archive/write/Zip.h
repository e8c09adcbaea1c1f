// TZip: the ZIP writer with its output mode (temporary file or memory) and its update switch.
#pragma once

#include "archive/write/ZipBase.h"

namespace archive {

class TZip : public TZipBase {
public:
    explicit TZip(fw::TComponent* owner = nullptr) : TZipBase(owner) {}

    TOutputKind CompressionMethod() const { return FCompressionMethod; }
    void SetCompressionMethod(TOutputKind value) { FCompressionMethod = value; }
    TSwitch Switch() const { return FSwitch; }
    void SetSwitch(TSwitch value) { FSwitch = value; }
};

}  // namespace archive
