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

std::string StringList::Text() const {
    std::string text;
    for (const std::string& s : items_)
        text += s + "\r\n";
    return text;
}

void StringList::SetText(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    items_ = std::move(lines);
    Changed();
}

void StringList::EndUpdate() {
    if (updates_ > 0 && --updates_ == 0 && pending_) {
        pending_ = false;
        if (OnChange) OnChange();
    }
}

void StringList::Changed() {
    if (updates_ > 0) {
        pending_ = true;
        return;
    }
    if (OnChange) OnChange();
}

} // namespace gui
