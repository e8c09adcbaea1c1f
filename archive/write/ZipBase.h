// TZipBase: the ZIP specifics of the writer: header values, entry data, central directory and end record.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "archive/write/CompBase.h"
#include "archive/pipeline/DeflateAhead.h"
#include "archive/io/Streams32.h"

namespace archive {

// Header values every new entry carries.
constexpr uint16_t kVersionNeeded = 20;  // 2.0: deflate and folders
constexpr uint16_t kVersionMadeBy = 20;  // 2.0 on host 0 (MS-DOS attributes)
constexpr uint16_t kInternalAttributes = 1;
constexpr uint32_t kExternalAttrMask = 0x40BF;  // read-only .. archive, normal, encrypted
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
// Files below this size are deflated into memory first and stored when that does not pay.
constexpr uint64_t kSmallFileLimit = 257;

// General purpose flags of a deflated entry for a deflate type (bits 1-2: the compression option).
uint16_t DeflateFlags(TDeflateType type);

class TZipBase : public TCompBase {
public:
    explicit TZipBase(fw::TComponent* owner);
    ~TZipBase() override;

protected:
    uint32_t AcceptedMethods() const override;
    std::string ClassDefaultExt() const override { return ".zip"; }

    bool LoadExisting(TCompHeaderObj& list) override;
    bool WriteNewEntry(TCompEntry& entry, int32_t number) override;
    bool CopyEntry(TCompEntry& entry, fw::TStream& source) override;
    void WriteDirectory() override;
    void NewEntriesDone() override;
    void ReportError(const std::string& fileName, const std::string& extendedMsg, int32_t code) override;
    void RaiseError(const std::string& fileName, const std::string& extendedMsg, int32_t code) override;

private:
    struct TEntryData {
        uint16_t Method = kMethodStored;
        uint32_t Crc = 0;
        uint64_t Size = 0;  // bytes read from the source
    };
    // `source` is null for a file that was read ahead, whose result is `ahead`.
    void WriteEntryBody(TCompEntry& entry, TStream32* source, std::optional<TDeflateAhead::TResult>& ahead);
    TEntryData WriteData(const TCompEntry& entry, TStream32& source);
    TEntryData StoreData(fw::TStream& source, uint64_t size);
    bool DeflateInto(TStream32& source, fw::TStream& target, TDeflateType type, uint32_t& crc);
    bool CopyBytes(fw::TStream& source, uint64_t count);
    void FailWrite(const std::string& fileName);
    std::string EntryName(const TCompEntry& entry) const;

    // Deflating ahead on worker threads (ReadAhead.cpp): only while no handler runs between entries,
    // so nothing can change a file after it was read ahead.
    bool ReadAheadAllowed() const;
    bool ReadAheadEligible(const TCompEntry& entry) const;
    void ReadAhead(size_t from);
    bool SubmitLarge(size_t index);
    std::optional<TDeflateAhead::TResult> TakeAhead(const TCompEntry& entry);
    static bool StoreInstead(const TDeflateAhead::TResult& ahead);
    TEntryData WriteAheadStored(std::optional<TDeflateAhead::TResult>& ahead, uint64_t size);
    void GiveBackAhead(TDeflateAhead::TResult& ahead);
    void DropAhead();

    std::vector<uint8_t> FCopyBuffer;  // one copy buffer for the whole run
    std::unique_ptr<TDeflateAhead> FAhead;
    size_t FAheadNext = 0;  // the first entry not considered for reading ahead yet
};

}  // namespace archive
