// Ownership, indexing and change signalling of collections.
#include "storage/Collection.h"

#include <algorithm>
#include <stdexcept>

namespace storage {

int TCollectionItem::Index() const {
    return FCollection->IndexOf(*this);
}

void TCollectionItem::Changed() {
    FCollection->Changed(this);
}

int TCollection::IndexOf(const TCollectionItem& item) const {
    const auto it = std::find_if(FItems.begin(), FItems.end(), [&](const auto& p) { return p.get() == &item; });
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TCollectionItem& TCollection::Add() {
    FItems.push_back(CreateItem());
    TCollectionItem& item = *FItems.back();
    SetItemName(item);
    Changed(nullptr);
    return item;
}

void TCollection::Delete(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("collection index");
    // The item leaves the list before it is destroyed, so its destructor sees it gone.
    std::unique_ptr<TCollectionItem> item = std::move(FItems[static_cast<size_t>(index)]);
    FItems.erase(FItems.begin() + index);
    item.reset();
    Changed(nullptr);
}

void TCollection::Clear() {
    BeginUpdate();
    while (!FItems.empty())
        Delete(Count() - 1);
    EndUpdate();
}

void TCollection::Assign(const TCollection& source) {
    if (&source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (const auto& item : source.FItems)
            Add().Assign(*item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed(nullptr);
}

void TCollection::Changed(TCollectionItem* item) {
    if (FUpdateCount == 0)
        Update(item);
}

}  // namespace storage
