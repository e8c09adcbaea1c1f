// TZipBase: the ZIP specifics of the writer: header values, entry data, central directory and end record.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "archive/io/Streams32.h"
#include "archive/pipeline/DeflateAhead.h"
#include "archive/write/CompBase.h"
#include "archive/write/DataWriter.h"
#include "archive/write/EntryBody.h"

namespace archive {

// Header values every new entry carries.
constexpr uint16_t kVersionNeeded = 20;  // 2.0: deflate and folders
constexpr uint16_t kVersionMadeBy = 20;  // 2.0 on host 0 (MS-DOS attributes)
constexpr uint16_t kInternalAttributes = 1;
// The longest archive comment: the end record holds its length in 16 bits.
constexpr size_t kMaxArchiveComment = 0xFFFF;

// General purpose flags of a deflated entry for a deflate type (bits 1-2: the compression option).
uint16_t DeflateFlags(TDeflateType type);

class TZipBase : public TCompBase {
public:
    explicit TZipBase(fw::TComponent* owner);
    ~TZipBase() override;

    // The archive comment, bytes as stored (a reader's ArchiveComment() gives them). A new archive gets it;
    // an archive that is updated keeps its own unless one was set here.
    std::string ArchiveComment() const { return FArchiveComment.value_or(""); }
    // False, and nothing set, for more than kMaxArchiveComment bytes.
    bool SetArchiveComment(const std::string& value);

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
    // The entry's body: a worker's result, or the file opened here (null, reported, when it cannot be).
    std::unique_ptr<TEntryBody> MakeBody(const TCompEntry& entry);
    void WriteEntry(TCompEntry& entry, TEntryBody& body);
    void FailWrite(const std::string& fileName);
    std::string EntryName(const TCompEntry& entry) const;

    // Deflating ahead on worker threads (ReadAhead.cpp): only while no handler runs between entries,
    // so nothing can change a file after it was read ahead.
    bool WorkersAllowed() const;
    bool ReadAheadEligible(const TCompEntry& entry) const;
    void ReadAhead(size_t from);
    bool SubmitLarge(size_t index);
    std::optional<TDeflateAhead::TResult> TakeAhead(const TCompEntry& entry);
    void DropAhead();

    TDataWriter FData;
    std::unique_ptr<TDeflateAhead> FAhead;
    size_t FAheadNext = 0;  // the first entry not considered for reading ahead yet
    std::optional<std::string> FArchiveComment;
};

}  // namespace archive
