// ZIP entries of the writer: local headers (completed after the data, or written once when it is known),
// stored or deflated data, directory and end record.
#include "archive/write/ZipBase.h"

#include <algorithm>

#include "archive/format/Crc32.h"
#include "archive/Messages.h"
#include "framework/Application.h"
#include "platform/Utf8Names.h"

namespace archive {

namespace {

constexpr uint64_t kFourGiB = 0x100000000ULL;    // the reach of a 32-bit size or offset field
constexpr size_t kCopyChunk = 32 * 1024;         // the run's one copy buffer
constexpr uint16_t kFlagMaximum = 0x0002;        // deflate option bits 1-2: maximum
constexpr uint16_t kFlagFast = 0x0004;           // deflate option bits 1-2: fast
constexpr size_t kDescriptorSize = 12;           // CRC and both sizes after an entry's data
constexpr size_t kSizeExtensionData = 4;         // compressed and uncompressed high words
constexpr size_t kSizeExtensionDataCentral = 6;  // plus the local header offset's high word
constexpr size_t kExtraBlockHeader = 4;          // id and data size

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

std::vector<uint8_t> SizeExtension(const TEntryRecord& record, bool central, uint64_t offset) {
    const size_t dataSize = central ? kSizeExtensionDataCentral : kSizeExtensionData;
    std::vector<uint8_t> block(kExtraBlockHeader + dataSize);
    PutU16(block, 0, kExtraSizeExtension);
    PutU16(block, 2, static_cast<uint16_t>(dataSize));
    PutU16(block, 4, record.CompressedHigh);
    PutU16(block, 6, record.UncompressedHigh);
    if (central)
        PutU16(block, 8, High16(offset));
    return block;
}

void WriteBytes(fw::TStream& out, const void* data, size_t size) {
    out.WriteBuffer(data, static_cast<int64_t>(size));
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

TZipBase::TZipBase(fw::TComponent* owner) : TCompBase(owner), FCopyBuffer(kCopyChunk) {
    FDefaultExt = ClassDefaultExt();
    FArcType = atZip;
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
    const auto index = static_cast<size_t>(&entry - Entries().Entries.data());
    ReadAhead(index);
    const bool isFolder = entry.FullPath.back() == platform::PathDelim;
    // A file read ahead was opened a moment ago, with no handler run since: it is not opened again. A large
    // file a worker could not read or deflate is done here like any other.
    std::optional<TDeflateAhead::TResult> ahead = isFolder ? std::nullopt : TakeAhead(entry);
    if (ahead && ahead->Spill && !ahead->Ok)
        ahead.reset();
    std::unique_ptr<TFileStream32> source;
    if (!isFolder && !ahead) {
        source = std::make_unique<TFileStream32>(entry.FullPath, platform::fmOpenRead | platform::fmShareDenyNone);
        if (!source->Valid()) {
            ReportError(entry.FullPath, "", kMsgErrorOpeningFile);
            return false;
        }
    }
    const int64_t start = Output().Position();
    try {
        WriteEntryBody(entry, source.get(), ahead);
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

void TZipBase::WriteEntryBody(TCompEntry& entry, TStream32* source, std::optional<TDeflateAhead::TResult>& ahead) {
    fw::TStream& out = Output();
    const auto offset = static_cast<uint64_t>(out.Position());
    entry.Record.LocalHeaderOffset = offset;
    const std::string name = EntryName(entry);
    const bool extended = NeedsSizeExtension(offset, entry.SourceSize);
    TLocalHeader local;
    local.VersionNeeded = kVersionNeeded;
    local.Method = kMethodDeflated;
    local.DateTime = entry.Central.DateTime;
    local.UncompressedSize = Low32(entry.SourceSize);
    local.NameLength = static_cast<uint16_t>(name.size());
    local.ExtraLength = static_cast<uint16_t>(extended ? kExtraBlockHeader + kSizeExtensionData : 0);
    const size_t headerSize = kLocalHeaderSize + name.size() + local.ExtraLength;
    // The header with its name and extra field, as one block.
    const auto header = [&] {
        const auto fixed = local.Build();
        std::vector<uint8_t> bytes(fixed.begin(), fixed.end());
        bytes.insert(bytes.end(), name.begin(), name.end());
        if (extended) {
            const std::vector<uint8_t> extra = SizeExtension(entry.Record, false, offset);
            bytes.insert(bytes.end(), extra.begin(), extra.end());
        }
        return bytes;
    };
    const auto complete = [&](const TEntryData& data, uint64_t compressed) {
        entry.Record.CompressedHigh = High16(compressed);
        entry.Record.UncompressedHigh = High16(data.Size);
        local.Method = data.Method;
        local.Flags = data.Method == kMethodDeflated ? DeflateFlags(DeflateType) : 0;
        if (entry.Utf8Name)
            local.Flags |= kFlagUtf8;
        local.Crc32 = data.Crc;
        local.CompressedSize = Low32(compressed);
        local.UncompressedSize = Low32(data.Size);
    };
    const bool isFolder = entry.FullPath.back() == platform::PathDelim;
    if (ahead)
        fw::Application().ProcessMessages();
    const bool deflatedAhead = ahead && ahead->Ok && !Cancel() && !StoreInstead(*ahead);
    if (deflatedAhead && ahead->Spill) {
        // A large file deflated ahead into a temporary file: the header is complete before the data.
        FBytesLeft -= static_cast<int64_t>(ahead->Size);
        complete({kMethodDeflated, ahead->Crc, ahead->Size}, ahead->SpillSize);
        const std::vector<uint8_t> bytes = header();
        WriteBytes(out, bytes.data(), bytes.size());
        ahead->Spill->SetPosition(0);
        if (!CopyBytes(*ahead->Spill, ahead->SpillSize) && !Cancel())
            throw fw::EWriteError();  // the temporary file did not give back what went in
        if (Cancel())
            return;
    } else if (deflatedAhead) {
        // Deflated ahead: everything the header holds is known, so header and data go out in one write.
        FBytesLeft -= static_cast<int64_t>(ahead->Size);
        complete({kMethodDeflated, ahead->Crc, ahead->Size}, ahead->Packed.size());
        std::vector<uint8_t> bytes = header();
        bytes.insert(bytes.end(), ahead->Packed.begin(), ahead->Packed.end());
        GiveBackAhead(*ahead);
        WriteBytes(out, bytes.data(), bytes.size());
    } else {
        const std::vector<uint8_t> placeholder = header();  // completed once the data is written
        WriteBytes(out, placeholder.data(), placeholder.size());
        TEntryData data;
        if (source && entry.SourceSize > 0)
            data = WriteData(entry, *source);
        else if (!isFolder && !source)
            data = WriteAheadStored(ahead, entry.SourceSize);
        if (Cancel())
            return;
        const auto end = static_cast<uint64_t>(out.Position());
        complete(data, end - offset - headerSize);
        const std::vector<uint8_t> completed = header();
        out.Seek(static_cast<int64_t>(offset), fw::soBeginning);
        WriteBytes(out, completed.data(), completed.size());
        out.Seek(static_cast<int64_t>(end), fw::soBeginning);
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
    c.ExternalAttributes &= kExternalAttrMask;
    c.LocalHeaderOffset = Low32(offset);
    entry.Record.Extra = extended ? SizeExtension(entry.Record, true, offset) : std::vector<uint8_t>{};
}

TZipBase::TEntryData TZipBase::WriteData(const TCompEntry& entry, TStream32& source) {
    TEntryData data;
    data.Method = kMethodDeflated;
    const uint64_t size = entry.SourceSize;
    const TDeflateType type = EncoderFor(entry.StoredName);
    if (type == dtDeflateS)
        return StoreData(source, size);
    if (size >= kSmallFileLimit) {
        DeflateInto(source, Output(), type, data.Crc);
        data.Size = static_cast<uint64_t>(source.Position());
        return data;
    }
    // Small files are deflated into memory first: when that does not pay they are stored instead.
    fw::TMemoryStream packed;
    if (!DeflateInto(source, packed, type, data.Crc))
        return data;
    data.Size = static_cast<uint64_t>(source.Position());
    if (static_cast<uint64_t>(packed.Size()) > data.Size) {
        FBytesLeft += static_cast<int64_t>(data.Size);
        source.SetPosition(0);
        return StoreData(source, size);
    }
    WriteBytes(Output(), packed.Memory(), static_cast<size_t>(packed.Size()));
    return data;
}

TZipBase::TEntryData TZipBase::StoreData(fw::TStream& source, uint64_t size) {
    TEntryData data;
    uint32_t crc = kCrcInit;
    for (;;) {
        fw::Application().ProcessMessages();
        if (Cancel())
            break;
        const int32_t n = source.Read(FCopyBuffer.data(), static_cast<int32_t>(FCopyBuffer.size()));
        if (n <= 0)
            break;
        crc = UpdateCrc32(crc, {FCopyBuffer.data(), static_cast<size_t>(n)});
        WriteBytes(Output(), FCopyBuffer.data(), static_cast<size_t>(n));
        data.Size += static_cast<uint64_t>(n);
        FBytesLeft -= n;
        ReportProgress(data.Size, size);
    }
    data.Crc = data.Size == 0 ? 0 : crc ^ kCrcInit;
    return data;
}

bool TZipBase::DeflateInto(TStream32& source, fw::TStream& target, TDeflateType type, uint32_t& crc) {
    const auto size = static_cast<uint64_t>(std::max<int64_t>(source.Size(), 0));
    TDeflateContext context;
    context.Remaining = &FBytesLeft;
    context.Cancel = &CancelFlag();
    if (OnProgress)
        context.OnProgress = [this, &source, size] { ReportProgress(static_cast<uint64_t>(source.Position()), size); };
    return DeflateStream(source, target, type, context, crc);
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
            if (block.size() >= kCopyChunk) {
                WriteBytes(out, block.data(), block.size());
                block.clear();
            }
        }
        WriteBytes(out, block.data(), block.size());
        TEndRecord end;
        end.Wide = dirOffset >= kFourGiB;
        // The record holds the low 16 bits of the count; readers that need more count the headers.
        end.EntriesThisDisk = end.TotalEntries = static_cast<uint16_t>(Entries().CountListed());
        end.DirectorySize = Low32(static_cast<uint64_t>(out.Position()) - dirOffset);
        end.DirectoryOffset = end.Wide ? dirOffset : Low32(dirOffset);
        end.CommentLength = static_cast<uint16_t>(Entries().ArchiveComment.size());
        WriteBytes(out, end.Build().data(), end.Size());
        WriteBytes(out, Entries().ArchiveComment.data(), Entries().ArchiveComment.size());
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
    // The archive comment ends the file.
    list.ArchiveComment.resize(location.EndRecord.CommentLength);
    file.Seek(file.Size() - static_cast<int64_t>(list.ArchiveComment.size()), fw::soBeginning);
    if (!ReadExactly(file, list.ArchiveComment))
        list.ArchiveComment.clear();
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

bool TZipBase::CopyBytes(fw::TStream& source, uint64_t count) {
    while (count > 0 && !Cancel()) {
        const auto n = static_cast<int32_t>(std::min<uint64_t>(count, FCopyBuffer.size()));
        if (source.Read(FCopyBuffer.data(), n) != n)
            return false;
        WriteBytes(Output(), FCopyBuffer.data(), static_cast<size_t>(n));
        count -= static_cast<uint64_t>(n);
        fw::Application().ProcessMessages();
    }
    return true;
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
        WriteBytes(out, fixed.data(), fixed.size());
        bool ok =
            CopyBytes(source, static_cast<uint64_t>(local->NameLength) + local->ExtraLength + entry.OldCompressedSize);
        if (ok && (local->Flags & kFlagDataDescriptor)) {
            // The descriptor may start with its own signature: 16 bytes then, else 12.
            std::vector<uint8_t> first(kSplitMarkerSize);
            ok = ReadExactly(source, first);
            if (ok)
                WriteBytes(out, first.data(), first.size());
            const size_t rest = GetU32(first, 0) == kSplitMarkerSig ? kDescriptorSize : kDescriptorSize - first.size();
            ok = ok && CopyBytes(source, rest);
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
