#include "movie/text/TextField.h"

#include <algorithm>
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
    selectable_ = !def.noSelect;
    input_ = !def.readOnly;
    maxChars_ = def.maxLength;
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
    runs_ = ParseHtml(html, newFormat_, condenseWhite_);
    box_.scroll = 1;
    ++version_;
}

void TextField::SetTextFormat(const TextFormat& format) {
    for (TextRun& r : runs_)
        r.format = format;
    ++version_;
}

void TextField::ChangeFormat(size_t begin, size_t end, const std::function<void(TextFormat&)>& change) {
    TextRuns out;
    size_t at = 0;
    for (TextRun& r : runs_) {
        const size_t b = std::clamp(begin, at, at + r.text.size()) - at;
        const size_t e = std::clamp(end, at, at + r.text.size()) - at;
        at += r.text.size();
        if (b >= e) {
            out.push_back(std::move(r));
            continue;
        }
        if (b > 0) out.push_back({r.text.substr(0, b), r.format});
        TextRun middle{r.text.substr(b, e - b), r.format};
        change(middle.format);
        out.push_back(std::move(middle));
        if (e < r.text.size()) out.push_back({r.text.substr(e), r.format});
    }
    // Neighbours that now share a format are one run again.
    runs_.clear();
    for (TextRun& r : out) {
        if (!runs_.empty() && runs_.back().format == r.format)
            runs_.back().text += r.text;
        else
            runs_.push_back(std::move(r));
    }
    ++version_;
}

void TextField::ReplaceText(size_t begin, size_t end, std::string_view utf8) {
    TextRuns out;
    size_t at = 0;
    bool inserted = false;
    auto insert = [&] {
        if (inserted) return;
        inserted = true;
        for (TextRun& r : PlainRuns(utf8, newFormat_))
            if (!r.text.empty()) out.push_back(std::move(r));
    };
    for (TextRun& r : runs_) {
        const size_t b = std::clamp(begin, at, at + r.text.size()) - at;
        const size_t e = std::clamp(end, at, at + r.text.size()) - at;
        at += r.text.size();
        if (b > 0) out.push_back({r.text.substr(0, b), r.format});
        if (b < r.text.size() || at >= begin) insert();
        if (e < r.text.size()) out.push_back({r.text.substr(e), r.format});
    }
    insert();
    if (out.empty()) out.push_back({{}, newFormat_});
    runs_ = std::move(out);
    ++version_;
}

std::vector<TextFormat> TextField::FormatsIn(size_t begin, size_t end) const {
    std::vector<TextFormat> out;
    size_t at = 0;
    for (const TextRun& r : runs_) {
        if (begin < at + r.text.size() && end > at) out.push_back(r.format);
        at += r.text.size();
    }
    if (out.empty() && Length() == 0) out.push_back(newFormat_);
    return out;
}

size_t TextField::Length() const {
    size_t n = 0;
    for (const TextRun& r : runs_)
        n += r.text.size();
    return n;
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
