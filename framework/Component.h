// Objects, components with an owner and a loading state, and events.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace fw {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// Events are std::function values; an unassigned event is empty and is never called.
using TNotifyEvent = std::function<void(TObject* sender)>;

template <class Event, class... Args>
void Fire(const Event& event, Args&&... args) {
    if (event)
        event(std::forward<Args>(args)...);
}

// A component knows its owner and the components it owns. Components are held by value in their
// owner (a form's fields), so ownership here is bookkeeping: the owner lists them, nothing is freed twice.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    virtual void SetName(const std::string& name) { FName = name; }
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(static_cast<size_t>(index)); }

    // The loading state: set while a form assigns the stored values of its description.
    bool Loading() const { return FLoading; }
    void BeginLoading() { FLoading = true; }
    void EndLoading();  // clears the state, then calls Loaded()

protected:
    virtual void Loaded() {}

private:
    TComponent* FOwner;
    std::vector<TComponent*> FComponents;
    std::string FName;
    int FTag = 0;
    bool FLoading = false;
};

}  // namespace fw
