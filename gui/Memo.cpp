#include "gui/Memo.h"

namespace gui {

Memo::Memo(Component* owner) : Edit(owner), lines_(std::make_unique<StringList>()) {
    StoreBounds(0, 0, 185, 89);
    lines_->OnChange = [this] { LinesChanged(); };
}

Memo::~Memo() {
    lines_->OnChange = nullptr;
}

void Memo::SetWordWrap(bool wrap) {
    if (wrap == wordWrap_) return;
    wordWrap_ = wrap;
    RecreateWnd();
}

void Memo::SetScrollBars(TScrollStyle bars) {
    if (bars == scrollBars_) return;
    scrollBars_ = bars;
    RecreateWnd();
}

void Memo::CreateParamsFor(CreateParams& params) {
    Edit::CreateParamsFor(params);
    params.ClassName = L"NimbreMemo";
    params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (wordWrap_) params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
}

void Memo::LinesChanged() {
    if (readingLines_) return;
    std::string text = lines_->Text();
    if (text.size() >= 2) text.resize(text.size() - 2); // no line break after the last line
    SetText(text);
}

void Memo::Change() {
    readingLines_ = true;
    try {
        lines_->SetText(Text());
    } catch (...) {
        readingLines_ = false;
        throw;
    }
    readingLines_ = false;
    Edit::Change();
}

} // namespace gui
