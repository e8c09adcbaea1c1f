// Files carried compressed inside the program: the storage component, its item collection and the items.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "framework/Streams.h"
#include "storage/Collection.h"

namespace storage {

// How an item's data is kept: raw, or a zlib stream at level 1, the library default, or 9.
enum TCompressionLevel { clNone, clFastest, clDefault, clMax };

using TmxStreamEvent = std::function<void(fw::TObject* sender, fw::TStream* stream)>;

class TmxStorage;
class TmxStoredItems;

// One stored file. With compression its data is a zlib stream of the frame "4-byte little-endian
// length N, then the N file bytes"; with clNone the data is the file bytes themselves.
class TmxStoredItem : public TCollectionItem {
public:
    explicit TmxStoredItem(TmxStoredItems& collection);
    ~TmxStoredItem() override;

    TmxStreamEvent OnBeforeLoad, OnBeforeSave;
    fw::TNotifyEvent OnCreate, OnDestroy, OnAfterLoad, OnAfterSave;

    TCompressionLevel Compression() const { return FCompression; }
    // Outside loading a new level recompresses the data; the file bytes stay the same.
    void SetCompression(TCompressionLevel value);
    int32_t Tag() const { return FTag; }
    void SetTag(int32_t value) { FTag = value; }
    const std::string& Name() const { return FName; }
    // Unique in the collection ignoring case; a clash raises "Duplicated stored item name".
    void SetName(const std::string& value);
    // The file's name and size are taken from the form description only: run-time writes are ignored.
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& value);
    int32_t FileSize() const { return FFileSize; }
    void SetFileSize(int32_t value);
    int32_t Size() const { return static_cast<int32_t>(FData.Bytes().size()); }  // bytes of stored data
    std::string Ratio() const;
    const fw::TMemoryStream& Data() const { return FData; }

    std::string DisplayName() const override { return FName; }
    void SetDisplayName(const std::string& value) override;
    // Copies every setting and the data of another stored item.
    void Assign(const TCollectionItem& source) override;

    // Writes the file bytes at `stream`'s position.
    void SaveToStream(fw::TStream& stream);
    // Creates (or truncates) the file and writes the file bytes into it.
    void SaveToFile(const std::string& fileName);
    // Takes the whole of `source` as the file, compressed as Compression says.
    void LoadFromStream(fw::TStream& source);

    // The persisted "StoredItem" form: a 4-byte little-endian length, then the data.
    void ReadStoredItem(fw::TStream& form);
    void WriteStoredItem(fw::TStream& form);
    // The form writes "StoredItem" only for an item that holds data.
    bool HasStoredItem() const { return !FData.Bytes().empty(); }

private:
    bool StorageLoading() const;

    TCompressionLevel FCompression = clDefault;
    int32_t FTag = 0;
    std::string FName;
    std::string FFileName;
    int32_t FFileSize = 0;
    fw::TMemoryStream FData;
};

class TmxStoredItems : public TCollection {
public:
    explicit TmxStoredItems(TmxStorage& owner) : FOwner(owner) {}

    TmxStorage& Owner() const { return FOwner; }
    TmxStoredItem& Items(int index) const { return static_cast<TmxStoredItem&>(TCollection::Items(index)); }
    TmxStoredItem& Add() { return static_cast<TmxStoredItem&>(TCollection::Add()); }
    // Adds an item and runs `onCreate` as its OnCreate once the item is complete and named.
    TmxStoredItem& Add(fw::TNotifyEvent onCreate);
    bool NameTaken(const std::string& name, const TmxStoredItem* except) const;

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override;
    // Gives a new item the first free "mxStoredItem%d".
    void SetItemName(TCollectionItem& item) override;

private:
    TmxStorage& FOwner;
};

class TmxStorage : public fw::TComponent {
public:
    explicit TmxStorage(fw::TComponent* owner);

    int32_t OriginalSize() const;  // the items' FileSize summed
    int32_t Size() const;          // the items' Size summed
    std::string Ratio() const;
    std::string Version() const;  // "major.minor"
    TmxStoredItems& StoredItems() { return FStoredItems; }
    const TmxStoredItems& StoredItems() const { return FStoredItems; }
    void SetStoredItems(const TmxStoredItems& value) { FStoredItems.Assign(value); }

    // The item at `index`, or null when there is none.
    TmxStoredItem* GetStoredItem(int index);

private:
    static constexpr uint16_t kVersion = 0x0101;  // major 1 in the high byte, minor 1 in the low byte
    TmxStoredItems FStoredItems;
};

}  // namespace storage
