// A stored item: its naming rule, its data in and out of streams and files, and its persisted form.
#include <array>
#include <limits>

#include "framework/Exceptions.h"
#include "platform/Platform.h"
#include "storage/LocaleText.h"
#include "storage/Ratio.h"
#include "storage/ZlibStreams.h"
#include "storage/mxStorage.h"

namespace storage {

namespace {
// The frame's and the persisted form's length: 4 bytes, little-endian, signed.
using TLengthBytes = std::array<uint8_t, 4>;

TLengthBytes EncodeLength(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
            static_cast<uint8_t>(u >> 24)};
}

int32_t DecodeLength(const TLengthBytes& b) {
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
}

int ZlibLevel(TCompressionLevel level) {
    switch (level) {
        case clFastest:
            return 1;
        case clMax:
            return 9;
        default:
            return -1;  // zlib's own default level
    }
}
}  // namespace

TmxStoredItem::TmxStoredItem(TmxStoredItems& collection) : TCollectionItem(collection) {}

TmxStoredItem::~TmxStoredItem() {
    // The collection has already taken the item off its list.
    fw::Fire(OnDestroy, this);
}

bool TmxStoredItem::StorageLoading() const {
    return static_cast<const TmxStoredItems&>(Collection()).Owner().Loading();
}

void TmxStoredItem::SetCompression(TCompressionLevel value) {
    if (StorageLoading()) {
        FCompression = value;
        return;
    }
    if (value == FCompression)
        return;
    fw::TMemoryStream plain;
    SaveToStream(plain);
    FCompression = value;
    LoadFromStream(plain);
}

void TmxStoredItem::SetName(const std::string& value) {
    if (SameLocaleText(value, FName))
        return;
    if (static_cast<const TmxStoredItems&>(Collection()).NameTaken(value, this))
        throw fw::Exception("Duplicated stored item name");
    FName = value;
    Changed();
}

void TmxStoredItem::SetDisplayName(const std::string& value) {
    SetName(value);
}

void TmxStoredItem::SetFileName(const std::string& value) {
    if (StorageLoading())
        FFileName = value;
}

void TmxStoredItem::SetFileSize(int32_t value) {
    if (StorageLoading())
        FFileSize = value;
}

std::string TmxStoredItem::Ratio() const {
    return RatioText(Size(), FFileSize);
}

void TmxStoredItem::Assign(const TCollectionItem& source) {
    const auto& item = dynamic_cast<const TmxStoredItem&>(source);
    if (&item == this)
        return;
    Collection().BeginUpdate();
    try {
        SetName(item.FName);
        FCompression = item.FCompression;
        FTag = item.FTag;
        FFileName = item.FFileName;
        FFileSize = item.FFileSize;
        FData.Clear();
        FData.WriteBuffer(item.FData.Bytes().data(), static_cast<int64_t>(item.FData.Bytes().size()));
    } catch (...) {
        Collection().EndUpdate();
        throw;
    }
    Collection().EndUpdate();
}

void TmxStoredItem::SaveToStream(fw::TStream& stream) {
    FData.SetPosition(0);
    fw::Fire(OnBeforeSave, this, &stream);
    if (FCompression != clNone && FData.Size() > 0) {
        TZlibReader reader(FData);
        TLengthBytes length;
        reader.ReadBuffer(length.data(), length.size());
        const int32_t n = DecodeLength(length);
        // A negative length is a frame no data can satisfy.
        if (n < 0)
            throw fw::EReadError();
        reader.CopyTo(stream, n);
    } else {
        FData.SaveToStream(stream);
    }
    fw::Fire(OnAfterSave, this);
}

void TmxStoredItem::SaveToFile(const std::string& fileName) {
    fw::TFileStream file(platform::ExpandFileName(fileName), platform::fmCreate);
    SaveToStream(file);
}

void TmxStoredItem::LoadFromStream(fw::TStream& source) {
    const int64_t size = source.Size();
    // Sizes and the frame length are signed 32-bit; a larger file would be stored cut short.
    if (size > std::numeric_limits<int32_t>::max())
        throw fw::Exception("Stream too large to store");
    FData.Clear();
    if (size <= 0)
        return;
    source.SetPosition(0);
    fw::Fire(OnBeforeLoad, this, &source);
    try {
        if (FCompression != clNone) {
            const auto n = static_cast<int32_t>(size);
            TZlibWriter writer(FData, ZlibLevel(FCompression));
            const TLengthBytes length = EncodeLength(n);
            writer.WriteBuffer(length.data(), length.size());
            writer.CopyFrom(source, n);
            writer.Finish();
            FFileSize = n;
        } else {
            FData.CopyFrom(source, 0);
        }
    } catch (...) {
        FData.Clear();  // no half-stored content
        throw;
    }
    fw::Fire(OnAfterLoad, this);
}

void TmxStoredItem::ReadStoredItem(fw::TStream& form) {
    FData.Clear();
    TLengthBytes length;
    form.ReadBuffer(length.data(), length.size());
    const int32_t m = DecodeLength(length);
    // Checked against what the form holds before anything is allocated.
    if (m < 0 || m > form.Size() - form.Position())
        throw fw::EReadError();
    FData.SetSize(m);
    form.ReadBuffer(FData.Memory(), m);
    FData.SetPosition(0);
}

void TmxStoredItem::WriteStoredItem(fw::TStream& form) {
    const TLengthBytes length = EncodeLength(Size());
    form.WriteBuffer(length.data(), length.size());
    FData.SaveToStream(form);
}

}  // namespace storage
