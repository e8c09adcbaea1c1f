// An owning list of items that know their collection and index, with update brackets and a naming hook.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"

namespace storage {

class TCollection;

class TCollectionItem : public fw::TObject {
public:
    explicit TCollectionItem(TCollection& collection) : FCollection(&collection) {}

    TCollection& Collection() const { return *FCollection; }
    int Index() const;
    virtual std::string DisplayName() const { return {}; }
    virtual void SetDisplayName(const std::string&) { Changed(); }
    // Copies the settings of `source` into this item; the base has nothing to copy.
    virtual void Assign(const TCollectionItem&) {}

protected:
    void Changed();

private:
    TCollection* FCollection;
};

class TCollection : public fw::TObject {
public:
    ~TCollection() override = default;

    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem& Items(int index) const { return *FItems.at(static_cast<size_t>(index)); }
    int IndexOf(const TCollectionItem& item) const;

    // A new item at the end, named by SetItemName.
    TCollectionItem& Add();
    void Delete(int index);
    void Clear();
    // Replaces the items by copies of `source`'s items.
    void Assign(const TCollection& source);

    // Between BeginUpdate and EndUpdate changes are collected into one Update(nullptr).
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Changed(TCollectionItem* item);

protected:
    virtual std::unique_ptr<TCollectionItem> CreateItem() = 0;
    virtual void SetItemName(TCollectionItem&) {}
    // Called after a change; `item` is null when the whole collection changed.
    virtual void Update(TCollectionItem*) {}

private:
    std::vector<std::unique_ptr<TCollectionItem>> FItems;
    int FUpdateCount = 0;
};

}  // namespace storage
