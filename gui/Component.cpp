#include "gui/Component.h"

#include <algorithm>

namespace gui {

Component::Component(Component* owner) {
    if (owner != nullptr) {
        if (owner->IsLoading()) state_ |= csLoading;
        if (owner->IsDesigning()) state_ |= csDesigning;
        owner->InsertComponent(this);
    }
}

Component::~Component() {
    state_ |= csDestroying;
    // Newest first; each one removes itself from components_ as it goes.
    while (!components_.empty()) {
        Component* last = components_.back();
        RemoveComponent(last);
        delete last;
    }
    if (owner_ != nullptr) owner_->RemoveComponent(this);
}

Component* Component::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (Component* c : components_)
        if (c->name_ == name) return c;
    return nullptr;
}

void Component::SetDesigning(bool designing) {
    if (designing)
        state_ |= csDesigning;
    else
        state_ &= static_cast<TComponentState>(~csDesigning);
    for (Component* c : components_)
        c->SetDesigning(designing);
}

void Component::BeginLoading() {
    state_ |= csLoading;
}

void Component::EndLoading() {
    for (Component* c : std::vector<Component*>(components_))
        c->LoadedTree();
    if (IsLoading()) Loaded();
}

void Component::LoadedTree() {
    for (Component* c : std::vector<Component*>(components_))
        c->LoadedTree();
    if (IsLoading()) Loaded();
}

void Component::Loaded() {
    state_ &= static_cast<TComponentState>(~csLoading);
}

void Component::InsertComponent(Component* component) {
    if (component == nullptr || component->owner_ == this) return;
    if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
    NotifyAll(component, opInsert);
}

void Component::RemoveComponent(Component* component) {
    if (component == nullptr || component->owner_ != this) return;
    NotifyAll(component, opRemove);
    Remove(component);
}

void Component::Remove(Component* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
    component->owner_ = nullptr;
}

void Component::NotifyAll(Component* component, TOperation operation) {
    Notification(component, operation);
    for (Component* c : std::vector<Component*>(components_))
        if (c != component) c->Notification(component, operation);
}

void Component::Notification(Component*, TOperation) {}

} // namespace gui
