// A text field of many lines over the platform's multi-line edit control.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/Edit.h"
#include "gui/StringList.h"

namespace gui {

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

class Memo : public Edit {
  public:
    // 185 x 89, no lines, word wrap on, no scroll bars.
    explicit Memo(Component* owner);
    ~Memo() override;

    // The lines shown; typing changes them, changing them changes the text.
    StringList& Lines() { return *lines_; }
    void SetLines(const StringList& lines) { lines_->Assign(lines); }
    // Long lines break at the right edge (no horizontal scrolling). Re-creates the window.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle bars);

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void Change() override;

  private:
    void LinesChanged();

    std::unique_ptr<StringList> lines_;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssNone;
    // Set while the lines are being read back from the window.
    bool readingLines_ = false;
};

} // namespace gui
