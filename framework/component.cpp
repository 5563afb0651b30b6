#include "framework/component.h"

#include <algorithm>

namespace velkor {

TComponent::TComponent(TComponent *owner)
    : owner_(owner)
{
    if (owner_)
        owner_->InsertOwned(this);
}

TComponent::~TComponent()
{
    destroying_ = true;
    // Everybody who asked is told before the pointer goes stale.
    while (!freeNotifies_.empty()) {
        TComponent *other = freeNotifies_.back();
        freeNotifies_.pop_back();
        std::erase(other->freeNotifies_, this);
        other->Notification(this, TOperation::opRemove);
    }
    while (!owned_.empty()) {
        TComponent *last = owned_.back();
        delete last; // its destructor takes it out of owned_
    }
    if (owner_) {
        owner_->RemoveOwned(this);
        owner_->Notification(this, TOperation::opRemove);
    }
}

TComponent *TComponent::FindComponent(const std::string &name) const noexcept
{
    if (name.empty())
        return nullptr;
    for (TComponent *component : owned_)
        if (component->name_ == name)
            return component;
    return nullptr;
}

void TComponent::FreeNotification(TComponent *other)
{
    if (!other || other == this)
        return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
        freeNotifies_.push_back(other);
        other->freeNotifies_.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent *other) noexcept
{
    if (!other)
        return;
    std::erase(freeNotifies_, other);
    std::erase(other->freeNotifies_, this);
}

void TComponent::EndLoading()
{
    loading_ = false;
    Loaded();
}

void TComponent::Notification(TComponent *component, TOperation operation)
{
    if (operation == TOperation::opRemove && component)
        RemoveFreeNotification(component);
    // Siblings learn through their common owner, as a form's components do.
    for (auto i = owned_.size(); i-- > 0;)
        if (i < owned_.size() && owned_[i] != component)
            owned_[i]->Notification(component, operation);
}

void TComponent::InsertOwned(TComponent *component)
{
    owned_.push_back(component);
}

void TComponent::RemoveOwned(TComponent *component) noexcept
{
    auto it = std::find(owned_.begin(), owned_.end(), component);
    if (it != owned_.end())
        owned_.erase(it);
}

} // namespace velkor
