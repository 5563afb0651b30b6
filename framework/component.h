#pragma once

#include "framework/notify_event.h"

#include <memory>
#include <string>
#include <vector>

namespace velkor {

enum class TOperation { opInsert, opRemove };

// Owner-and-name component model: an owner frees what it owns, last created first, and every
// component that asked to be told learns when another one goes away.
class TComponent : public TObject
{
public:
    explicit TComponent(TComponent *owner);
    ~TComponent() override;

    [[nodiscard]] TComponent *Owner() const noexcept { return owner_; }
    [[nodiscard]] const std::string &Name() const noexcept { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    [[nodiscard]] int ComponentCount() const noexcept { return static_cast<int>(owned_.size()); }
    [[nodiscard]] TComponent *Components(int index) const { return owned_.at(index); }
    [[nodiscard]] TComponent *FindComponent(const std::string &name) const noexcept;

    // Asks to be told (through Notification) when `other` is destroyed.
    void FreeNotification(TComponent *other);
    void RemoveFreeNotification(TComponent *other) noexcept;

    [[nodiscard]] bool Loading() const noexcept { return loading_; }
    [[nodiscard]] bool Destroying() const noexcept { return destroying_; }
    // Form descriptions set properties between BeginLoading and EndLoading; Loaded runs after.
    void BeginLoading() noexcept { loading_ = true; }
    void EndLoading();

protected:
    virtual void Notification(TComponent *component, TOperation operation);
    virtual void Loaded() {}
    // Derived destructors call this first so that notifications sent while they tear down
    // already see the component as going away.
    void MarkDestroying() noexcept { destroying_ = true; }

private:
    void InsertOwned(TComponent *component);
    void RemoveOwned(TComponent *component) noexcept;

    TComponent *owner_;
    std::string name_;
    std::vector<TComponent *> owned_;
    std::vector<TComponent *> freeNotifies_;
    bool loading_ = false;
    bool destroying_ = false;
};

// Creates a component that its owner frees.
template<class T, class... Args> T &CreateOwned(TComponent &owner, Args &&...args)
{
    auto component = std::make_unique<T>(&owner, std::forward<Args>(args)...);
    return *component.release(); // the owner holds it from its constructor on
}

} // namespace velkor
