// Owner bookkeeping and the loading state of components.
#include "framework/Component.h"

#include <algorithm>

namespace fw {

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
    if (FOwner)
        FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
    for (TComponent* child : FComponents)
        child->FOwner = nullptr;
    if (FOwner) {
        auto& list = FOwner->FComponents;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TComponent::EndLoading() {
    FLoading = false;
    Loaded();
}

}  // namespace fw
