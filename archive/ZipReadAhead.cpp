// Deflating ahead: while the writer writes one entry, worker threads deflate the next files in memory.
// The writer still opens every file, fires every event and writes every header in entry order; it only
// takes the deflated bytes from a worker instead of making them itself. A handler that runs between
// entries could change a file already read, so reading ahead happens only while no such handler is
// assigned, and an error (whose handler may act) drops everything read ahead.
#include <algorithm>
#include <thread>

#include "archive/ZipBase.h"
#include "framework/Application.h"

namespace archive {

namespace {
constexpr uint64_t kAheadEntryLimit = 1024 * 1024;  // larger files are deflated by the writer, streaming
constexpr uint64_t kAheadBytes = 8 * 1024 * 1024;   // input and output held for entries not written yet
constexpr size_t kAheadJobs = 64;
constexpr unsigned kMaxWorkers = 4;

// Asked once: the library reads a system file to answer.
unsigned Cores() {
    static const unsigned cores = std::thread::hardware_concurrency();
    return cores;
}

// The whole file, if it still has the size the scan found: asking for one byte more and getting exactly
// the size proves it, without asking the system for the size.
bool ReadWhole(const std::string& path, uint64_t size, std::vector<uint8_t>& bytes) {
    TFileStream32 file(path, platform::fmOpenRead | platform::fmShareDenyNone);
    if (!file.Valid())
        return false;
    bytes.resize(size + 1);
    size_t got = 0;
    while (got <= size) {
        const auto want = static_cast<int32_t>(size + 1 - got);
        const int32_t n = file.Read(bytes.data() + got, want);
        got += static_cast<size_t>(std::max(n, 0));
        if (n < want)  // the end of the file (a short read of another kind only costs the read-ahead)
            break;
    }
    bytes.resize(got);
    return got == size;
}
}  // namespace

TZipBase::~TZipBase() = default;

bool TZipBase::ReadAheadAllowed() const {
    return !OnBegin && !OnEnd && !OnProgress && DeflateType != dtDeflateS && Cores() > 1;
}

bool TZipBase::ReadAheadEligible(const TCompEntry& entry) const {
    return entry.Record.Action == eaCompress && !entry.FullPath.empty() &&
           entry.FullPath.back() != platform::PathDelim && entry.SourceSize > 0 &&
           entry.SourceSize <= kAheadEntryLimit && EncoderFor(entry.StoredName) == DeflateType &&
           !(FCompressionMethod == cmTempFile && entry.FullPath == TempFileName());
}

void TZipBase::ReadAhead(size_t from) {
    if (!ReadAheadAllowed())
        return;
    if (!FAhead)
        FAhead = std::make_unique<TDeflateAhead>(DeflateType, std::min(Cores(), kMaxWorkers));
    auto& list = Entries().Entries;
    for (size_t i = std::max(from, FAheadNext); i < list.size(); ++i) {
        if (FAhead->Count() >= kAheadJobs || FAhead->BytesHeld() >= kAheadBytes)
            return;
        FAheadNext = i + 1;
        if (!ReadAheadEligible(list[i]))
            continue;
        std::vector<uint8_t> bytes = FAhead->TakeBuffer();
        if (ReadWhole(list[i].FullPath, list[i].SourceSize, bytes))
            FAhead->Submit(i, std::move(bytes));
        else
            FAhead->GiveBack(std::move(bytes));
    }
}

std::optional<TDeflateAhead::TResult> TZipBase::TakeAhead(const TCompEntry& entry) {
    if (!FAhead)
        return std::nullopt;
    return FAhead->Take(static_cast<size_t>(&entry - Entries().Entries.data()));
}

void TZipBase::DropAhead() {
    if (FAhead)
        FAhead->Clear();
    FAheadNext = 0;
}

void TZipBase::NewEntriesDone() {
    FAhead.reset();
    FAheadNext = 0;
}

void TZipBase::ReportError(const std::string& fileName, const std::string& extendedMsg, int32_t code) {
    DropAhead();
    TCompBase::ReportError(fileName, extendedMsg, code);
}

void TZipBase::RaiseError(const std::string& fileName, const std::string& extendedMsg, int32_t code) {
    DropAhead();
    TCompBase::RaiseError(fileName, extendedMsg, code);
}

// The same outcome as deflating the file here: the bytes, the CRC, the bytes-left count, the rule that a
// small file which does not shrink is stored, and an engine that could not start leaving the entry empty.
void TZipBase::WriteDeflatedAhead(const TCompEntry& entry, TEntryData& data) {
    std::optional<TDeflateAhead::TResult> ahead = TakeAhead(entry);
    fw::Application().ProcessMessages();
    if (!ahead || Cancel() || !ahead->Ok)
        return;
    if (ahead->Size < kSmallFileLimit && ahead->Packed.size() > ahead->Size) {
        fw::TMemoryStream input;
        input.WriteBuffer(ahead->Input.data(), static_cast<int64_t>(ahead->Input.size()));
        input.SetPosition(0);
        data = StoreData(input, entry.SourceSize);
    } else {
        FBytesLeft -= static_cast<int64_t>(ahead->Size);
        data.Crc = ahead->Crc;
        data.Size = ahead->Size;
        Output().WriteBuffer(ahead->Packed.data(), static_cast<int64_t>(ahead->Packed.size()));
    }
    FAhead->GiveBack(std::move(ahead->Input));
    FAhead->GiveBack(std::move(ahead->Packed));
}

}  // namespace archive
