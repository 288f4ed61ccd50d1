// The picture sections of a title bar and their collection: left sections stack from the
// left edge, right sections from the right edge, one client section stretches between.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/Picture.h"

namespace sui {

class TsuiTitleBar;
class TsuiTitleBarSections;

enum class TsuiTitleBarAlign : std::uint8_t { suiLeft, suiRight, suiClient };

class TsuiTitleBarSection {
  public:
    explicit TsuiTitleBarSection(TsuiTitleBarSections* collection);
    TsuiTitleBarSection(const TsuiTitleBarSection&) = delete;
    TsuiTitleBarSection& operator=(const TsuiTitleBarSection&) = delete;

    TsuiTitleBarSections* Collection() const { return collection_; }
    int Index() const;

    // Setting it (either value) takes the picture's width when the picture holds a graphic.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    int Width() const { return width_; }
    void SetWidth(int width);
    // Only one section of a bar can be the client section; it always stretches.
    TsuiTitleBarAlign Align() const { return align_; }
    void SetAlign(TsuiTitleBarAlign align);
    // The section's own picture; a layout loads into it directly.
    gui::Picture& Picture() { return picture_; }
    const gui::Picture& Picture() const { return picture_; }
    // Copies the picture; with AutoSize the width follows it.
    void SetPicture(const gui::Picture& picture);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);

    // Takes every property of other without the design checks (a stored layout).
    void Assign(const TsuiTitleBarSection& other);

  private:
    void Changed();

    TsuiTitleBarSections* collection_;
    bool autoSize_ = false;
    int width_ = 10;
    TsuiTitleBarAlign align_ = TsuiTitleBarAlign::suiLeft;
    gui::Picture picture_;
    bool stretch_ = false;
};

// The sections of one bar, in painting order; every change repaints the bar.
class TsuiTitleBarSections {
  public:
    explicit TsuiTitleBarSections(TsuiTitleBar* bar) : bar_(bar) {}
    TsuiTitleBarSections(const TsuiTitleBarSections&) = delete;
    TsuiTitleBarSections& operator=(const TsuiTitleBarSections&) = delete;

    // The bar the sections belong to (their owner); null for a free-standing collection.
    TsuiTitleBar* Bar() const { return bar_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TsuiTitleBarSection& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    TsuiTitleBarSection& Add();
    void Delete(int index);
    void Clear();
    // Replaces the items with copies of other's.
    void Assign(const TsuiTitleBarSections& other);
    int IndexOf(const TsuiTitleBarSection* section) const;

    // Repaints the bar.
    void Changed();

  private:
    TsuiTitleBar* bar_;
    std::vector<std::unique_ptr<TsuiTitleBarSection>> items_;
};

} // namespace sui
