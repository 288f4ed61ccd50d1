// A list of hooks of one kind (message filters, window procedure hooks), each
// owned by the token that adding it returned: the hook stays until its token
// goes, whatever else is added or removed meanwhile. A token that outlives its
// list does nothing when it goes.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace gui {

// Removes one hook from its list when it goes; move-only.
class HookToken {
  public:
    HookToken() = default;
    HookToken(std::weak_ptr<void> list, void (*remove)(void* list, std::uint64_t id), std::uint64_t id)
        : list_(std::move(list)), remove_(remove), id_(id) {}
    HookToken(HookToken&& other) noexcept
        : list_(std::move(other.list_)), remove_(other.remove_), id_(std::exchange(other.id_, 0)) {}
    HookToken& operator=(HookToken&& other) noexcept {
        if (this != &other) {
            Reset();
            list_ = std::move(other.list_);
            remove_ = other.remove_;
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }
    HookToken(const HookToken&) = delete;
    HookToken& operator=(const HookToken&) = delete;
    ~HookToken() { Reset(); }

    // True while the token holds a hook.
    explicit operator bool() const { return id_ != 0; }
    // Removes the hook now.
    void Reset() {
        if (id_ == 0) return;
        if (auto list = list_.lock()) remove_(list.get(), id_);
        id_ = 0;
        list_.reset();
    }

  private:
    std::weak_ptr<void> list_;
    void (*remove_)(void*, std::uint64_t) = nullptr;
    std::uint64_t id_ = 0;
};

template <class Hook> class HookList {
  public:
    // Adds a hook after the ones already there.
    [[nodiscard]] HookToken Add(Hook hook) {
        const std::uint64_t id = entries_->next++;
        entries_->hooks.push_back({id, std::make_shared<Hook>(std::move(hook))});
        return HookToken(std::weak_ptr<void>(entries_), &Remove, id);
    }

    bool Empty() const { return entries_->hooks.empty(); }
    // Drops every hook; their tokens then remove nothing.
    void Clear() { entries_->hooks.clear(); }
    std::size_t Size() const { return entries_->hooks.size(); }

    // The hooks in the order they were added, kept alive for a call through
    // them even if one of them removes itself or another meanwhile.
    std::vector<std::shared_ptr<Hook>> Snapshot() const {
        std::vector<std::shared_ptr<Hook>> hooks;
        hooks.reserve(entries_->hooks.size());
        for (const auto& e : entries_->hooks)
            hooks.push_back(e.hook);
        return hooks;
    }

  private:
    struct Entry {
        std::uint64_t id;
        std::shared_ptr<Hook> hook;
    };
    struct Entries {
        std::vector<Entry> hooks;
        std::uint64_t next = 1;
    };

    static void Remove(void* list, std::uint64_t id) {
        auto& hooks = static_cast<Entries*>(list)->hooks;
        for (auto it = hooks.begin(); it != hooks.end(); ++it)
            if (it->id == id) {
                hooks.erase(it);
                return;
            }
    }

    std::shared_ptr<Entries> entries_ = std::make_shared<Entries>();
};

} // namespace gui
