#include "movie/text/TextField.h"

#include <cctype>

namespace movie::text {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

TextField::TextField(const EditText& def, const Dictionary& dictionary) : dictionary_(dictionary) {
    if (def.hasFont) ownFont_ = dictionary.FindAs<Font>(def.fontId);
    if (ownFont_) {
        newFormat_.font = ownFont_->name;
        newFormat_.bold = ownFont_->bold;
        newFormat_.italic = ownFont_->italic;
    } else if (!def.fontClass.empty()) {
        newFormat_.font = def.fontClass;
    }
    newFormat_.size = def.fontHeight / 20.0;
    newFormat_.color = def.color;
    newFormat_.align = def.align;
    newFormat_.leftMargin = def.leftMargin / 20.0;
    newFormat_.rightMargin = def.rightMargin / 20.0;
    newFormat_.indent = def.indent / 20.0;
    newFormat_.leading = def.leading / 20.0;
    box_.bounds = def.bounds;
    box_.wordWrap = def.wordWrap;
    box_.multiline = def.multiline;
    box_.password = def.password;
    if (def.autoSize)
        box_.autoSize = def.align == TextAlign::Right    ? AutoSize::Right
                        : def.align == TextAlign::Center ? AutoSize::Center
                                                         : AutoSize::Left;
    embedFonts_ = def.useOutlines;
    border_ = background_ = def.border;
    box_.html = def.html;
    variable_ = def.variableName;
    SetHtmlText(def.initialText);
}

void TextField::SetText(std::string_view utf8) {
    runs_ = PlainRuns(utf8, newFormat_);
    box_.scroll = 1;
    ++version_;
}

std::string TextField::HtmlText() const {
    return box_.html ? WriteHtml(runs_) : Text();
}

void TextField::SetHtmlText(std::string_view html) {
    if (!box_.html) return SetText(html);
    runs_ = ParseHtml(html, newFormat_);
    box_.scroll = 1;
    ++version_;
}

void TextField::SetTextFormat(const TextFormat& format) {
    for (TextRun& r : runs_)
        r.format = format;
    ++version_;
}

TextFormat TextField::FormatAt(size_t index) const {
    for (const TextRun& r : runs_) {
        if (index < r.text.size()) return r.format;
        index -= r.text.size();
    }
    return runs_.empty() ? newFormat_ : runs_.back().format;
}

void TextField::SetTextColor(RGBA color) {
    for (TextRun& r : runs_)
        r.format.color = color;
    newFormat_.color = color;
    ++version_;
}

std::shared_ptr<Typeface> TextField::FindFace(const TextFormat& f, DeviceFonts* device) const {
    if (!embedFonts_) return device ? device->Face(f.font, f.bold, f.italic) : nullptr;
    // The embedded font of that name, the style matched where the movie has it.
    const Font* best = nullptr;
    int bestScore = -1;
    auto consider = [&](const Font& font) {
        if (font.glyphs.empty() || !SameName(font.name, f.font)) return;
        int score = (font.bold == f.bold) + (font.italic == f.italic);
        if (score > bestScore) best = &font, bestScore = score;
    };
    if (ownFont_) consider(*ownFont_);
    for (const auto& [id, c] : dictionary_.All())
        if (const Font* font = std::get_if<Font>(&c->data)) consider(*font);
    // A field whose font has no name still shows its own glyphs.
    if (!best && ownFont_ && ownFont_->name.empty() && f.font.empty()) best = ownFont_;
    return best ? std::make_shared<EmbeddedTypeface>(*best) : nullptr;
}

const Layout& TextField::LaidOut(DeviceFonts* device) {
    if (!layout_ || layoutVersion_ != version_ || layoutDevice_ != device) {
        FaceFinder finder = [this, device](const TextFormat& f) { return FindFace(f, device); };
        layout_ = LayOut(runs_, box_, finder);
        layoutVersion_ = version_;
        layoutDevice_ = device;
    }
    return *layout_;
}

} // namespace movie::text
