// TCompBase: the writer's compression settings: method, deflate type, stored extensions, default extension.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/codec/CompressStream.h"
#include "archive/write/CustomCClass.h"

namespace archive {

enum TCompressMethod {
    cmStore,
    cmShrink,
    cmReduce1,
    cmReduce2,
    cmReduce3,
    cmReduce4,
    cmImplode,
    cmTokenize,
    cmDeflate,
    cmDeflate64,
    cmBZip2,
    cmLZMA,
    cmPPMd
};

// The extensions of files that are already compressed and are stored as they are.
std::vector<std::string> DefaultStoreFilesOfType();

class TCompBase : public TCustomCClass {
public:
    explicit TCompBase(fw::TComponent* owner);

    TCompressMethod CompressMethod() const { return FCompressMethod; }
    // Values outside the class's acceptance mask are ignored.
    void SetCompressMethod(TCompressMethod value);

    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& value);

    // Also appends DefaultExt to a name without extension and notes whether the file exists now.
    void SetArchiveFile(const std::string& value) override;

    TDeflateType DeflateType = dtDeflateN;
    std::vector<std::string> StoreFilesOfType = DefaultStoreFilesOfType();

protected:
    // One bit per TCompressMethod value the class can write.
    virtual uint32_t AcceptedMethods() const = 0;
    virtual std::string ClassDefaultExt() const = 0;

    // The encoder type for a stored name: dtDeflateS (store) under cmStore or for the listed extensions.
    TDeflateType EncoderFor(const std::string& storedName) const;

    TCompressMethod FCompressMethod = cmDeflate;
    std::string FDefaultExt;
};

}  // namespace archive
