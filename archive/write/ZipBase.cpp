// ZIP entries of the writer: local headers (completed after the data, or written once when it is known),
// stored or deflated data, directory and end record.
#include "archive/write/ZipBase.h"

#include <algorithm>

#include "archive/Messages.h"
#include "archive/format/Crc32.h"
#include "archive/io/Chunk.h"
#include "platform/Utf8Names.h"

namespace archive {

namespace {

constexpr uint64_t kFourGiB = 0x100000000ULL;  // the reach of a 32-bit size or offset field
constexpr uint16_t kFlagMaximum = 0x0002;      // deflate option bits 1-2: maximum
constexpr uint16_t kFlagFast = 0x0004;         // deflate option bits 1-2: fast
constexpr size_t kDescriptorSize = 12;         // CRC and both sizes after an entry's data

uint32_t Low32(uint64_t v) {
    return static_cast<uint32_t>(v);
}
uint16_t High16(uint64_t v) {
    return static_cast<uint16_t>(v >> 32);
}

// The most a deflated file can grow by: zlib's bound for raw deflate (five bytes of stored-block header per
// 16 KiB at worst, and a few bytes at the end).
uint64_t DeflateBound(uint64_t size) {
    return size + (size >> 12) + (size >> 14) + (size >> 25) + 13;
}

// Files of 4 GiB and entries beyond the first 4 GiB carry the size extension. The header goes out before
// the data, so a file just below 4 GiB whose deflated form could reach 4 GiB gets it too: the field could
// not hold that size afterwards.
bool NeedsSizeExtension(uint64_t offset, uint64_t size) {
    return offset >= kFourGiB || size >= kFourGiB || DeflateBound(size) >= kFourGiB;
}

bool ReadExactly(fw::TStream& in, std::vector<uint8_t>& bytes) {
    return bytes.empty() ||
           in.Read(bytes.data(), static_cast<int32_t>(bytes.size())) == static_cast<int32_t>(bytes.size());
}

}  // namespace

uint16_t DeflateFlags(TDeflateType type) {
    switch (type) {
        case dtDeflateF:
            return kFlagFast;
        case dtDeflateX:
            return kFlagMaximum;
        case dtDeflateS:
        case dtDeflateN:
            break;
    }
    return 0;
}

TZipBase::TZipBase(fw::TComponent* owner)
    : TCompBase(owner),
      FData({[this]() -> fw::TStream& { return Output(); }, [this] { ProcessMessages(); },
             [this](uint64_t done, uint64_t total) { ReportProgress(done, total); }},
            FBytesLeft,
            CancelFlag(),
            OnProgress) {
    FDefaultExt = ClassDefaultExt();
    FArcType = atZip;
}

bool TZipBase::SetArchiveComment(const std::string& value) {
    if (value.size() > kMaxArchiveComment)
        return false;
    FArchiveComment = value;
    return true;
}

uint32_t TZipBase::AcceptedMethods() const {
    return (1u << cmStore) | (1u << cmDeflate);
}

std::string TZipBase::EntryName(const TCompEntry& entry) const {
    if (entry.Record.Action == eaCopy)
        return {entry.RawName.begin(), entry.RawName.end()};
    if (entry.Utf8Name)
        return ArchiveEntryName(platform::AnsiToUtf8(entry.StoredName), false);
    return ArchiveEntryName(entry.StoredName, TranslateOemChar);
}

void TZipBase::FailWrite(const std::string& fileName) {
    RaiseError(fileName, "", platform::LastError() == platform::kErrorDiskFull ? kMsgDiskFull : kMsgErrorWritingFile);
}

bool TZipBase::WriteNewEntry(TCompEntry& entry, int32_t number) {
    if (FCompressionMethod == cmTempFile && entry.FullPath == TempFileName())
        return false;
    bool go = true;
    if (OnBegin)
        OnBegin(this, entry.FullPath, number, go);
    if (!go)
        return false;
    FCurrentFile = entry.FullPath;
    ReadAhead(static_cast<size_t>(&entry - Entries().Entries.data()));
    const std::unique_ptr<TEntryBody> body = MakeBody(entry);
    if (!body)
        return false;
    const int64_t start = Output().Position();
    try {
        WriteEntry(entry, *body);
    } catch (const fw::EWriteError&) {
        FailWrite(entry.StoredName);
        return false;
    }
    if (Cancel()) {
        Output().SetSize(start);
        return false;
    }
    fw::Fire(OnEnd, this, entry.StoredName, true);
    return true;
}

std::unique_ptr<TEntryBody> TZipBase::MakeBody(const TCompEntry& entry) {
    if (entry.FullPath.back() == platform::PathDelim)
        return InlineBody(FData, nullptr, 0, DeflateType);
    // A file read ahead was opened a moment ago, with no handler run since: it is not opened again. A large
    // file a worker could not read or deflate is done here like any other.
    std::optional<TDeflateAhead::TResult> ahead = TakeAhead(entry);
    if (ahead && (ahead->Ok || !ahead->Spill))
        return AheadBody(FData, *FAhead, std::move(*ahead));
    auto source = std::make_unique<TFileStream32>(entry.FullPath, platform::fmOpenRead | platform::fmShareDenyNone);
    if (!source->Valid()) {
        ReportError(entry.FullPath, "", kMsgErrorOpeningFile);
        return nullptr;
    }
    return InlineBody(FData, std::move(source), entry.SourceSize, EncoderFor(entry.StoredName));
}

// Every entry the same way: its header, its body, and the header again once the body's outcome is known,
// unless the body knew it before.
void TZipBase::WriteEntry(TCompEntry& entry, TEntryBody& body) {
    fw::TStream& out = Output();
    const auto offset = static_cast<uint64_t>(out.Position());
    entry.Record.LocalHeaderOffset = offset;
    const std::string name = EntryName(entry);
    const bool extended = NeedsSizeExtension(offset, entry.SourceSize);
    const auto highWords = [&entry](uint16_t offsetHigh) {
        return THighWords{entry.Record.CompressedHigh, entry.Record.UncompressedHigh, offsetHigh};
    };
    TLocalHeader local;
    local.VersionNeeded = kVersionNeeded;
    local.Method = kMethodDeflate;
    local.DateTime = entry.Central.DateTime;
    local.UncompressedSize = Low32(entry.SourceSize);
    local.NameLength = static_cast<uint16_t>(name.size());
    local.ExtraLength = static_cast<uint16_t>(extended ? BuildSizeExtension({}, false).size() : 0);
    // The header with its name and extra field, as one block.
    const auto header = [&] {
        const auto fixed = local.Build();
        std::vector<uint8_t> bytes(fixed.begin(), fixed.end());
        bytes.insert(bytes.end(), name.begin(), name.end());
        if (extended) {
            const std::vector<uint8_t> extra = BuildSizeExtension(highWords(0), false);
            bytes.insert(bytes.end(), extra.begin(), extra.end());
        }
        return bytes;
    };
    const auto complete = [&](const TEntryData& data) {
        entry.Record.CompressedHigh = High16(data.Packed);
        entry.Record.UncompressedHigh = High16(data.Size);
        local.Method = data.Method;
        local.Flags = data.Method == kMethodDeflate ? DeflateFlags(DeflateType) : 0;
        if (entry.Utf8Name)
            local.Flags |= kFlagUtf8;
        local.Crc32 = data.Crc;
        local.CompressedSize = Low32(data.Packed);
        local.UncompressedSize = Low32(data.Size);
    };
    const std::optional<TEntryData> known = body.Begin();
    if (known)
        complete(*known);
    const TEntryData data = body.Write(header());
    if (Cancel())
        return;
    if (!known) {
        complete(data);
        const std::vector<uint8_t> completed = header();
        const int64_t end = out.Position();
        out.Seek(static_cast<int64_t>(offset), fw::soBeginning);
        FData.Write(completed.data(), completed.size());
        out.Seek(end, fw::soBeginning);
    }

    TCentralHeader& c = entry.Central;
    c.VersionMadeBy = kVersionMadeBy;
    c.VersionNeeded = local.VersionNeeded;
    c.Flags = local.Flags;
    c.Method = local.Method;
    c.DateTime = local.DateTime;
    c.Crc32 = local.Crc32;
    c.CompressedSize = local.CompressedSize;
    c.UncompressedSize = local.UncompressedSize;
    c.NameLength = local.NameLength;
    c.InternalAttributes = kInternalAttributes;
    c.ExternalAttributes &= kStoredAttrMask;
    c.LocalHeaderOffset = Low32(offset);
    entry.Record.Extra = extended ? BuildSizeExtension(highWords(High16(offset)), true) : std::vector<uint8_t>{};
}

void TZipBase::WriteDirectory() {
    fw::TStream& out = Output();
    try {
        const auto dirOffset = static_cast<uint64_t>(out.Seek(0, fw::soEnd));
        // Headers are gathered and written a block at a time rather than field by field.
        std::vector<uint8_t> block;
        const auto append = [&block](const auto& bytes) { block.insert(block.end(), bytes.begin(), bytes.end()); };
        for (TCompEntry& entry : Entries().Entries) {
            if (entry.Record.Action == eaDrop)
                continue;
            const std::string name = EntryName(entry);
            TCentralHeader c = entry.Central;
            c.NameLength = static_cast<uint16_t>(name.size());
            c.ExtraLength = static_cast<uint16_t>(entry.Record.Extra.size());
            c.CommentLength = static_cast<uint16_t>(entry.Record.Comment.size());
            append(c.Build());
            append(name);
            append(entry.Record.Extra);
            append(entry.Record.Comment);
            if (block.size() >= kChunkSize) {
                FData.Write(block.data(), block.size());
                block.clear();
            }
        }
        FData.Write(block.data(), block.size());
        TEndRecord end;
        end.Wide = dirOffset >= kFourGiB;
        // The record holds the low 16 bits of the count; readers that need more count the headers.
        end.EntriesThisDisk = end.TotalEntries = static_cast<uint16_t>(Entries().CountListed());
        end.DirectorySize = Low32(static_cast<uint64_t>(out.Position()) - dirOffset);
        end.DirectoryOffset = end.Wide ? dirOffset : Low32(dirOffset);
        std::vector<uint8_t>& comment = Entries().ArchiveComment;
        if (FArchiveComment)
            comment.assign(FArchiveComment->begin(), FArchiveComment->end());
        end.CommentLength = static_cast<uint16_t>(comment.size());
        FData.Write(end.Build().data(), end.Size());
        FData.Write(comment.data(), comment.size());
    } catch (const fw::EWriteError&) {
        FailWrite(FArchiveFile);
    }
}

bool TZipBase::LoadExisting(TCompHeaderObj& list) {
    if (!platform::FileExists(FArchiveFile))
        return true;  // gone since it was assigned: a new archive
    TFileStream32 file(FArchiveFile, platform::fmOpenRead | platform::fmShareDenyWrite);
    if (!file.Valid()) {
        ReportError(FArchiveFile, "", kMsgErrorOpeningFile);
        return false;
    }
    const TArchiveLocation location = LocateDirectory(file);
    if (!(location.State & lfValidDirectory)) {
        ReportError(FArchiveFile, "", kMsgUnsupportedArchiveType);
        return false;
    }
    const std::string comment = ReadArchiveComment(file, location);
    list.ArchiveComment.assign(comment.begin(), comment.end());
    file.Seek(location.Position, fw::soBeginning);
    std::vector<uint8_t> fixed(kCentralHeaderSize);
    while (!Cancel() && ReadExactly(file, fixed)) {
        const std::optional<TCentralHeader> header = TCentralHeader::Parse(fixed);
        if (!header)
            break;
        TCompEntry entry;
        entry.Record.Action = eaCopy;
        entry.Central = *header;
        entry.RawName.resize(header->NameLength);
        entry.Record.Extra.resize(header->ExtraLength);
        entry.Record.Comment.resize(header->CommentLength);
        if (!ReadExactly(file, entry.RawName) || !ReadExactly(file, entry.Record.Extra) ||
            !ReadExactly(file, entry.Record.Comment))
            break;
        TCentralHeader walked = *header;
        const TExtraInfo info = WalkExtraField(entry.Record.Extra, walked);
        entry.OldLocalOffset =
            Size48(walked.LocalHeaderOffset, info.High.Offset) + static_cast<uint64_t>(location.StartOffset);
        entry.OldCompressedSize = Size48(walked.CompressedSize, info.High.Compressed);
        entry.Record.CompressedHigh = info.High.Compressed;
        entry.Record.UncompressedHigh = info.High.Uncompressed;
        std::string name(entry.RawName.begin(), entry.RawName.end());
        if (TranslateOemChar)
            name = platform::OemToAnsi(name);
        std::replace(name.begin(), name.end(), '/', platform::PathDelim);
        entry.StoredName = name;
        list.Entries.push_back(std::move(entry));
    }
    return !Cancel();
}

bool TZipBase::CopyEntry(TCompEntry& entry, fw::TStream& source) {
    fw::TStream& out = Output();
    const int64_t start = out.Position();
    std::vector<uint8_t> fixed(kLocalHeaderSize);
    source.Seek(static_cast<int64_t>(entry.OldLocalOffset), fw::soBeginning);
    const std::optional<TLocalHeader> local =
        ReadExactly(source, fixed) ? TLocalHeader::Parse(fixed) : std::optional<TLocalHeader>{};
    if (!local) {
        ReportError(entry.StoredName, "", kMsgBadOffsetToLocalHeader);
        return false;
    }
    try {
        FData.Write(fixed.data(), fixed.size());
        bool ok =
            FData.Copy(source, static_cast<uint64_t>(local->NameLength) + local->ExtraLength + entry.OldCompressedSize);
        if (ok && (local->Flags & kFlagDataDescriptor)) {
            // The descriptor may start with its own signature: 16 bytes then, else 12.
            std::vector<uint8_t> first(kSplitMarkerSize);
            ok = ReadExactly(source, first);
            if (ok)
                FData.Write(first.data(), first.size());
            const size_t rest = GetU32(first, 0) == kSplitMarkerSig ? kDescriptorSize : kDescriptorSize - first.size();
            ok = ok && FData.Copy(source, rest);
        }
        if (!ok) {
            out.SetSize(start);
            ReportError(entry.StoredName, "", kMsgErrorOpeningFile);
            return false;
        }
    } catch (const fw::EWriteError&) {
        FailWrite(entry.StoredName);
        return false;
    }
    entry.Record.LocalHeaderOffset = static_cast<uint64_t>(start);
    entry.Central.LocalHeaderOffset = Low32(static_cast<uint64_t>(start));
    return !Cancel();
}

}  // namespace archive
