// How the gallery lays its samples out: one row per kind of control, the kind's name at the
// left, then its samples side by side, each with the name of the state it shows under it. Rows
// that would run below the column's foot start a new column to the right.
#pragma once

#include <span>
#include <string>

#include "gui/Form.h"
#include "gui/WinControl.h"

namespace gallery {

class GalleryRows {
  public:
    // Samples are owned by owner (so they take the style of its skinned frame) and placed in
    // parent; columns end at columnFoot.
    GalleryRows(gui::Form* owner, gui::WinControl* parent, int columnFoot);

    gui::Form* Owner() const { return owner_; }
    gui::WinControl* Parent() const { return parent_; }

    // Starts a row for the kind of control named, for samples up to sampleHeight tall.
    void Row(const std::string& kind, int sampleHeight);
    // Places control as the next sample of the row, captioned with the state it shows.
    template <class T> T* Add(T* control, const std::string& state) {
        Place(control, state);
        return control;
    }

    // The extent of everything placed so far, margins included.
    int Right() const { return right_; }
    int Bottom() const { return bottom_; }

  private:
    void Place(gui::Control* control, const std::string& state);
    void AddCaption(const std::string& text, int x, int y, bool bold);

    gui::Form* owner_;
    gui::WinControl* parent_;
    int columnFoot_;
    int columnLeft_;
    int columnRight_;
    int rowTop_ = 0;
    int rowHeight_ = 0;
    int x_ = 0;
    int right_ = 0;
    int bottom_ = 0;
};

// One section of the gallery: adds the rows of one kind of control (or a few close kinds).
using GallerySection = void (*)(GalleryRows& rows);

// One tab of the gallery: its caption, a word for file names, and its sections in order.
struct GalleryPage {
    const char* Caption;
    const char* Word;
    std::span<const GallerySection> Sections;
};

// The tabs, in the order the gallery shows them.
std::span<const GalleryPage> GalleryPages();

} // namespace gallery
