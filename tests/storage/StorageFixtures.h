// Small helpers the storage tests share: byte conversions, frames, items loaded through streams.
#pragma once

#include <cstdint>

#include "framework/Streams.h"
#include "storage/Ratio.h"
#include "storage/mxStorage.h"
#include "tests/TestUtil.h"

namespace fixtures {

using testutil::Bytes;

inline Bytes LittleEndian32(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
            static_cast<uint8_t>(u >> 24)};
}

// The uncompressed frame: 4-byte little-endian length, then the bytes.
inline Bytes Frame(const Bytes& file) {
    Bytes frame = LittleEndian32(static_cast<int32_t>(file.size()));
    frame.insert(frame.end(), file.begin(), file.end());
    return frame;
}

inline Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline void Fill(fw::TMemoryStream& stream, const Bytes& data) {
    stream.Clear();
    if (!data.empty())
        stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    stream.SetPosition(0);
}

inline void Load(storage::TmxStoredItem& item, const Bytes& file) {
    fw::TMemoryStream source;
    Fill(source, file);
    item.LoadFromStream(source);
}

inline Bytes Saved(storage::TmxStoredItem& item) {
    fw::TMemoryStream target;
    item.SaveToStream(target);
    return target.Bytes();
}

// Puts `data` into the item as its stored data, the way the form description does.
inline void SetStoredData(storage::TmxStoredItem& item, const Bytes& data) {
    fw::TMemoryStream form;
    Fill(form, Concat(LittleEndian32(static_cast<int32_t>(data.size())), data));
    item.ReadStoredItem(form);
}

// A storage in its loading state for the scope, as while its form is read.
class TLoading {
public:
    explicit TLoading(storage::TmxStorage& storage) : FStorage(storage) { FStorage.BeginLoading(); }
    ~TLoading() { FStorage.EndLoading(); }
    TLoading(const TLoading&) = delete;
    TLoading& operator=(const TLoading&) = delete;

private:
    storage::TmxStorage& FStorage;
};

// Sets the ratio texts' decimal separator for the scope and puts the previous one back.
class TSeparator {
public:
    explicit TSeparator(char separator) : FSaved(storage::DecimalSeparator()) {
        storage::SetDecimalSeparator(separator);
    }
    ~TSeparator() { storage::SetDecimalSeparator(FSaved); }
    TSeparator(const TSeparator&) = delete;
    TSeparator& operator=(const TSeparator&) = delete;

private:
    char FSaved;
};

}  // namespace fixtures
