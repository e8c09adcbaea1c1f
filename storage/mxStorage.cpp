// The storage component and its item collection: totals, version, lookup and default item names.
#include "storage/mxStorage.h"

#include "storage/LocaleText.h"
#include "storage/Ratio.h"

namespace storage {

std::unique_ptr<TCollectionItem> TmxStoredItems::CreateItem() {
    return std::make_unique<TmxStoredItem>(*this);
}

TmxStoredItem& TmxStoredItems::Add(fw::TNotifyEvent onCreate) {
    TmxStoredItem& item = Add();
    item.OnCreate = std::move(onCreate);
    fw::Fire(item.OnCreate, &item);
    return item;
}

bool TmxStoredItems::NameTaken(const std::string& name, const TmxStoredItem* except) const {
    for (int i = 0; i < Count(); ++i)
        if (&Items(i) != except && SameLocaleText(Items(i).Name(), name))
            return true;
    return false;
}

void TmxStoredItems::SetItemName(TCollectionItem& item) {
    auto& stored = static_cast<TmxStoredItem&>(item);
    // Among Count() + 1 candidates one is always free.
    for (int n = 1;; ++n) {
        const std::string name = "mxStoredItem" + std::to_string(n);
        if (!NameTaken(name, &stored)) {
            stored.SetName(name);
            return;
        }
    }
}

TmxStorage::TmxStorage(fw::TComponent* owner) : fw::TComponent(owner), FStoredItems(*this) {}

namespace {
// The totals are signed 32-bit like the item sizes; they wrap instead of overflowing.
template <class Field>
int32_t Sum(const TmxStoredItems& items, Field field) {
    uint32_t total = 0;
    for (int i = 0; i < items.Count(); ++i)
        total += static_cast<uint32_t>(field(items.Items(i)));
    return static_cast<int32_t>(total);
}
}  // namespace

int32_t TmxStorage::OriginalSize() const {
    return Sum(FStoredItems, [](const TmxStoredItem& item) { return item.FileSize(); });
}

int32_t TmxStorage::Size() const {
    return Sum(FStoredItems, [](const TmxStoredItem& item) { return item.Size(); });
}

std::string TmxStorage::Ratio() const {
    return RatioText(Size(), OriginalSize());
}

std::string TmxStorage::Version() const {
    return std::to_string(kVersion >> 8) + "." + std::to_string(kVersion & 0xFF);
}

TmxStoredItem* TmxStorage::GetStoredItem(int index) {
    return index >= 0 && index < FStoredItems.Count() ? &FStoredItems.Items(index) : nullptr;
}

}  // namespace storage
