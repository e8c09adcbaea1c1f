// Deflating ahead: while the writer writes one entry, worker threads deflate the next files, small ones in
// memory and large ones into temporary files. The writer still fires every event and writes every header in
// entry order; it only takes the deflated bytes from a worker instead of making them itself. A handler that
// runs between entries could change a file already read, so reading ahead happens only while no such
// handler is assigned, and an error (whose handler may act) drops everything read ahead.
#include <algorithm>
#include <system_error>

#include "archive/pipeline/Cores.h"
#include "archive/write/ZipBase.h"

namespace archive {

namespace {
constexpr uint64_t kAheadEntryLimit = 1024 * 1024;  // larger files are read by a worker, streaming
constexpr uint64_t kAheadBytes = 8 * 1024 * 1024;   // input and output held for entries not written yet
constexpr size_t kAheadJobs = 64;
constexpr unsigned kMaxWorkers = 4;
constexpr size_t kAheadLarge = 2;  // large files given to workers and not taken yet

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

// The writer's own threads: the engine's rule (MayStartThread), and no handler that runs within or between entries.
bool TZipBase::WorkersAllowed() const {
    return MayStartThread(Workers) && !OnBegin && !OnEnd && !OnProgress && DeflateType != dtDeflateS;
}

bool TZipBase::ReadAheadEligible(const TCompEntry& entry) const {
    return entry.Record.Action == eaCompress && !entry.FullPath.empty() &&
           entry.FullPath.back() != platform::PathDelim && entry.SourceSize > 0 &&
           EncoderFor(entry.StoredName) == DeflateType &&
           !(FCompressionMethod == cmTempFile && entry.FullPath == TempFileName());
}

// A large file goes to a worker whole, deflated into a temporary file beside the temporary archive, so
// two large files are deflated at once without holding either in memory. False: not now, ask again once a
// large file is taken. A writer kept in memory writes no temporary files, so it does large files itself.
bool TZipBase::SubmitLarge(size_t index) {
    if (FCompressionMethod != cmTempFile)
        return true;
    if (FAhead->LargeCount() >= kAheadLarge)
        return false;
    auto spill = std::make_unique<TTempFileStream>(TempDir());
    if (spill->Valid())
        FAhead->SubmitLarge(index, Entries().Entries[index].FullPath, std::move(spill));
    return true;
}

void TZipBase::ReadAhead(size_t from) {
    if (!WorkersAllowed())
        return;
    if (!FAhead) {
        try {
            FAhead = std::make_unique<TDeflateAhead>(DeflateType, std::min(Cores(), kMaxWorkers));
        } catch (const std::system_error&) {
            return;  // no thread to be had: the writer deflates every file itself
        }
    }
    auto& list = Entries().Entries;
    for (size_t i = std::max(from, FAheadNext); i < list.size(); ++i) {
        if (FAhead->Count() >= kAheadJobs || FAhead->BytesHeld() >= kAheadBytes)
            return;
        const bool eligible = ReadAheadEligible(list[i]);
        const bool large = list[i].SourceSize > kAheadEntryLimit;
        if (eligible && large && !SubmitLarge(i))
            return;
        FAheadNext = i + 1;
        if (!eligible || large)
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
    // The message loop keeps running while a worker finishes a large file.
    return FAhead->Take(static_cast<size_t>(&entry - Entries().Entries.data()), [this] { ProcessMessages(); });
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

}  // namespace archive
