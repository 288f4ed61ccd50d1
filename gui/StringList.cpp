#include "gui/StringList.h"

#include <stdexcept>

namespace gui {

std::size_t StringList::Index(int index) const {
    if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
    return static_cast<std::size_t>(index);
}

int StringList::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<std::size_t>(i)] == s) return i;
    return -1;
}

void StringList::SetStrings(int index, const std::string& s) {
    items_.at(Index(index)) = s;
    Changed();
}

int StringList::Add(const std::string& s) {
    items_.push_back(s);
    Changed();
    return Count() - 1;
}

void StringList::Insert(int index, const std::string& s) {
    if (index != Count()) Index(index);
    items_.insert(items_.begin() + index, s);
    Changed();
}

void StringList::Delete(int index) {
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(Index(index)));
    Changed();
}

void StringList::Clear() {
    items_.clear();
    Changed();
}

void StringList::Assign(const std::vector<std::string>& items) {
    items_ = items;
    Changed();
}

} // namespace gui
