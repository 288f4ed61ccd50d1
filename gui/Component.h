// The root of everything placed on a form: ownership, names, tags, state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/Types.h"

namespace gui {

// A component is owned by another (or by nobody). The owner deletes what it
// owns, newest first, and tells its other components when one goes
// (Notification(c, opRemove)). A component created while its owner is
// loading a layout is loading as well until EndLoading() runs Loaded().
class Component {
  public:
    explicit Component(Component* owner);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Component* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    Component* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    // The owned component with this name, or nullptr.
    Component* FindComponent(const std::string& name) const;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    std::intptr_t Tag() const { return tag_; }
    void SetTag(std::intptr_t tag) { tag_ = tag; }

    TComponentState ComponentState() const { return state_; }
    bool IsLoading() const { return (state_ & csLoading) != 0; }
    bool IsDesigning() const { return (state_ & csDesigning) != 0; }
    bool IsDestroying() const { return (state_ & csDestroying) != 0; }
    // Marks this component and what it owns as placed in a design host.
    void SetDesigning(bool designing);

    // A layout function calls BeginLoading() on the root before creating the
    // components and EndLoading() after setting their properties: every
    // component created meanwhile gets Loaded(), in creation order, then the root.
    void BeginLoading();
    void EndLoading();

    // Moves a component from its current owner to this one.
    void InsertComponent(Component* component);
    void RemoveComponent(Component* component);

  protected:
    // Another component owned by the same owner (or this one's own) is
    // inserted or removed.
    virtual void Notification(Component* component, TOperation operation);
    // The layout is complete; clears the loading flag.
    virtual void Loaded();

  private:
    void LoadedTree();
    void Remove(Component* component);
    void NotifyAll(Component* component, TOperation operation);

    Component* owner_ = nullptr;
    std::vector<Component*> components_;
    std::string name_;
    std::intptr_t tag_ = 0;
    TComponentState state_ = 0;
};

} // namespace gui
