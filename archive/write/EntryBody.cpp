// The three entry bodies: inline, deflated ahead in memory, deflated ahead into a temporary file.
#include "archive/write/EntryBody.h"

#include "framework/Exceptions.h"

namespace archive {

namespace {

// Appends the header and whatever else the body writes; the bytes written after the header.
class TMeasured {
public:
    TMeasured(TDataWriter& data, const std::vector<uint8_t>& header) : FData(data) {
        FData.Write(header.data(), header.size());
        FStart = FData.Output().Position();
    }
    uint64_t Packed() const { return static_cast<uint64_t>(FData.Output().Position() - FStart); }

private:
    TDataWriter& FData;
    int64_t FStart = 0;
};

class TInlineBody : public TEntryBody {
public:
    TInlineBody(TDataWriter& data, std::unique_ptr<TStream32> source, uint64_t size, TDeflateType type)
        : FData(data), FSource(std::move(source)), FSize(size), FType(type) {}

    TEntryData Write(const std::vector<uint8_t>& header) override {
        const TMeasured measured(FData, header);
        TEntryData result;
        if (FSource && FSize > 0)
            result = WriteData();
        result.Packed = measured.Packed();
        return result;
    }

private:
    TEntryData WriteData() {
        TEntryData result;
        result.Method = kMethodDeflate;
        if (FType == dtDeflateS)
            return FData.Store(*FSource, FSize);
        if (FSize >= kSmallFileLimit) {
            FData.Deflate(*FSource, FData.Output(), FType, result.Crc);
            result.Size = static_cast<uint64_t>(FSource->Position());
            return result;
        }
        // Small files are deflated into memory first: when that does not pay they are stored instead.
        fw::TMemoryStream packed;
        if (!FData.Deflate(*FSource, packed, FType, result.Crc))
            return result;
        result.Size = static_cast<uint64_t>(FSource->Position());
        if (static_cast<uint64_t>(packed.Size()) > result.Size) {
            FData.Processed(-static_cast<int64_t>(result.Size));
            FSource->SetPosition(0);
            return FData.Store(*FSource, FSize);
        }
        FData.Write(packed.Memory(), static_cast<size_t>(packed.Size()));
        return result;
    }

    TDataWriter& FData;
    std::unique_ptr<TStream32> FSource;
    const uint64_t FSize;
    const TDeflateType FType;
};

// A worker's result: deflated, unless it failed, the run was cancelled or deflating did not pay; the
// message loop runs once before the writer looks.
class TAheadBody : public TEntryBody {
public:
    TAheadBody(TDataWriter& data, TDeflateAhead::TResult ahead) : FData(data), FAhead(std::move(ahead)) {}

    std::optional<TEntryData> Begin() override {
        FData.ProcessMessages();
        if (FAhead.Ok && !FData.Cancelled() && !StoreInstead())
            FKnown = TEntryData{kMethodDeflate, FAhead.Crc, FAhead.Size, PackedSize()};
        return FKnown;
    }

    TEntryData Write(const std::vector<uint8_t>& header) override {
        if (!FKnown)
            return WriteStored(header);
        FData.Processed(static_cast<int64_t>(FAhead.Size));
        WriteDeflated(header);
        return *FKnown;
    }

protected:
    virtual uint64_t PackedSize() const = 0;
    virtual bool StoreInstead() const { return false; }
    virtual void WriteDeflated(const std::vector<uint8_t>& header) = 0;

    TDataWriter& FData;
    TDeflateAhead::TResult FAhead;

private:
    // The other outcomes, as deflating here would end: stored from memory when deflating does not pay,
    // empty when cancelled or when the engine could not start.
    TEntryData WriteStored(const std::vector<uint8_t>& header) {
        const TMeasured measured(FData, header);
        TEntryData result;
        result.Method = kMethodDeflate;
        if (FAhead.Ok && !FData.Cancelled()) {
            fw::TMemoryStream input;
            input.WriteBuffer(FAhead.Input.data(), static_cast<int64_t>(FAhead.Input.size()));
            input.SetPosition(0);
            result = FData.Store(input, FAhead.Size);
        }
        result.Packed = measured.Packed();
        return result;
    }

    std::optional<TEntryData> FKnown;
};

// A file deflated ahead in memory; its buffers go back to the pool for the next files.
class TAheadMemoryBody : public TAheadBody {
public:
    TAheadMemoryBody(TDataWriter& data, TDeflateAhead& pool, TDeflateAhead::TResult ahead)
        : TAheadBody(data, std::move(ahead)), FPool(pool) {}
    ~TAheadMemoryBody() override {
        FPool.GiveBack(std::move(FAhead.Input));
        FPool.GiveBack(std::move(FAhead.Packed));
    }

private:
    uint64_t PackedSize() const override { return FAhead.Packed.size(); }
    // A small file that does not shrink is stored, as the writer's own deflating decides.
    bool StoreInstead() const override { return FAhead.Size < kSmallFileLimit && FAhead.Packed.size() > FAhead.Size; }
    // Everything the header holds is known, so header and data go out in one write.
    void WriteDeflated(const std::vector<uint8_t>& header) override {
        std::vector<uint8_t> bytes = header;
        bytes.insert(bytes.end(), FAhead.Packed.begin(), FAhead.Packed.end());
        FData.Write(bytes.data(), bytes.size());
    }

    TDeflateAhead& FPool;
};

// A large file deflated ahead into a temporary file, copied behind its complete header.
class TAheadFileBody : public TAheadBody {
public:
    using TAheadBody::TAheadBody;

private:
    uint64_t PackedSize() const override { return FAhead.SpillSize; }
    void WriteDeflated(const std::vector<uint8_t>& header) override {
        FData.Write(header.data(), header.size());
        FAhead.Spill->SetPosition(0);
        if (!FData.Copy(*FAhead.Spill, FAhead.SpillSize) && !FData.Cancelled())
            throw fw::EWriteError();  // the temporary file did not give back what went in
    }
};

}  // namespace

std::unique_ptr<TEntryBody> InlineBody(TDataWriter& data,
                                       std::unique_ptr<TStream32> source,
                                       uint64_t size,
                                       TDeflateType type) {
    return std::make_unique<TInlineBody>(data, std::move(source), size, type);
}

std::unique_ptr<TEntryBody> AheadBody(TDataWriter& data, TDeflateAhead& pool, TDeflateAhead::TResult ahead) {
    if (ahead.Spill)
        return std::make_unique<TAheadFileBody>(data, std::move(ahead));
    return std::make_unique<TAheadMemoryBody>(data, pool, std::move(ahead));
}

}  // namespace archive
