// An ordered list of strings that tells its owner after every change.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace gui {

class StringList {
  public:
    StringList() = default;
    StringList(std::initializer_list<std::string> items) : items_(items) {}
    // Copies the strings; the copy has no OnChange of its own.
    StringList(const StringList& other) : items_(other.items_) {}
    StringList& operator=(const StringList&) = delete; // Assign copies and notifies

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    const std::string& Strings(int index) const { return items_.at(Index(index)); }
    const std::string& operator[](int index) const { return Strings(index); }
    const std::vector<std::string>& Items() const { return items_; }
    // The position of the first string equal to s, or -1.
    int IndexOf(const std::string& s) const;

    // Every change raises OnChange once, after it is made. An index out of range throws
    // std::out_of_range and changes nothing.
    void SetStrings(int index, const std::string& s);
    int Add(const std::string& s);
    void Insert(int index, const std::string& s);
    void Delete(int index);
    void Clear();
    void Assign(const std::vector<std::string>& items);
    void Assign(const StringList& other) { Assign(other.items_); }
    // All strings, each ended by CR LF.
    std::string Text() const;
    // Splits at CR LF, LF or CR; a last line without an ending counts.
    void SetText(const std::string& text);

    // Changes between BeginUpdate and the matching EndUpdate raise OnChange once, at the end.
    void BeginUpdate() { ++updates_; }
    void EndUpdate();

    std::function<void()> OnChange;

  private:
    std::size_t Index(int index) const;
    void Changed();

    std::vector<std::string> items_;
    int updates_ = 0;
    bool pending_ = false;
};

} // namespace gui
