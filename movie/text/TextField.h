// A text field on the stage: the state a DefineEditText starts it with,
// what scripts change (text, HTML text, formats, box and its look), and its
// layout, made again only after a change. The script machine reads and sets
// it through these calls; the renderer draws Draw()'s layout.
#pragma once

#include "movie/Character.h"
#include "movie/text/TextFormat.h"
#include "movie/text/TextLayout.h"
#include "movie/text/Typeface.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace movie::text {

class TextField {
  public:
    // `dictionary` (the movie's) must outlive the field: its fonts are the
    // embedded ones.
    TextField(const EditText& definition, const Dictionary& dictionary);

    // The text without markup, paragraphs ended by '\r'.
    std::string Text() const { return PlainText(runs_); }
    // Replaces the text, all of it in the new-text format.
    void SetText(std::string_view utf8);
    std::string HtmlText() const;
    // With Html() the markup is read; without, the text is taken as it is.
    void SetHtmlText(std::string_view html);
    bool Html() const { return box_.html; }
    void SetHtml(bool on) { Change(box_.html, on); }
    const TextRuns& Runs() const { return runs_; }

    // The format new text takes (setText, replaced text).
    const TextFormat& NewTextFormat() const { return newFormat_; }
    void SetNewTextFormat(const TextFormat& format) { Change(newFormat_, format); }
    // Gives every character of the text this format.
    void SetTextFormat(const TextFormat& format);
    // Changes the format of the characters in [begin, end) (code points,
    // clamped to the text) by `change`.
    void ChangeFormat(size_t begin, size_t end, const std::function<void(TextFormat&)>& change);
    // Puts `utf8` in the new-text format in place of the characters in
    // [begin, end).
    void ReplaceText(size_t begin, size_t end, std::string_view utf8);
    // The formats of the characters in [begin, end), one per run touched
    // (the new-text format for an empty field).
    std::vector<TextFormat> FormatsIn(size_t begin, size_t end) const;
    // Characters in the text (paragraph ends count one each).
    size_t Length() const;
    // The format of the character at `index` (of the text's code points).
    TextFormat FormatAt(size_t index) const;
    // The colour of all text, and of new text.
    void SetTextColor(RGBA color);

    // The box, in the field's own twips.
    Rect Bounds() const { return box_.bounds; }
    // The box as laid out (auto size may move its edges); the box itself
    // while the layout is not made again since a change.
    Rect ShownBounds() const { return layout_ && layoutVersion_ == version_ ? layout_->bounds : box_.bounds; }
    void SetBounds(Rect r) { Change(box_.bounds, r); }
    bool WordWrap() const { return box_.wordWrap; }
    void SetWordWrap(bool on) { Change(box_.wordWrap, on); }
    bool Multiline() const { return box_.multiline; }
    void SetMultiline(bool on) { Change(box_.multiline, on); }
    bool Password() const { return box_.password; }
    void SetPassword(bool on) { Change(box_.password, on); }
    AutoSize AutoSizing() const { return box_.autoSize; }
    void SetAutoSize(AutoSize a) { Change(box_.autoSize, a); }
    int Scroll() const { return box_.scroll; }
    void SetScroll(int line) { Change(box_.scroll, line); }
    double HScroll() const { return box_.hscroll; }
    void SetHScroll(double pixels) { Change(box_.hscroll, pixels); }
    // HTML set from then on has its runs of white space taken as one space
    // and its line breaks in the source ignored.
    bool CondenseWhite() const { return condenseWhite_; }
    void SetCondenseWhite(bool on) { condenseWhite_ = on; }
    // What users could do with the field (nothing here reads keys or the mouse).
    bool Selectable() const { return selectable_; }
    void SetSelectable(bool on) { selectable_ = on; }
    bool Input() const { return input_; }
    void SetInput(bool on) { input_ = on; }
    int MaxChars() const { return maxChars_; } // 0: no limit
    void SetMaxChars(int n) { maxChars_ = n; }
    bool EmbedFonts() const { return embedFonts_; }
    void SetEmbedFonts(bool on) { Change(embedFonts_, on); }

    bool Border() const { return border_; }
    void SetBorder(bool on) { Change(border_, on); }
    RGBA BorderColor() const { return borderColor_; }
    void SetBorderColor(RGBA c) { Change(borderColor_, c); }
    bool Background() const { return background_; }
    void SetBackground(bool on) { Change(background_, on); }
    RGBA BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(RGBA c) { Change(backgroundColor_, c); }

    const std::string& Variable() const { return variable_; }
    void SetVariable(std::string name) { variable_ = std::move(name); }
    // Shows the bound variable's value (as HTML in an HTML field), unless
    // it is the value shown already.
    void ShowVariable(const std::string& value) {
        if (shownVariable_ && *shownVariable_ == value) return;
        shownVariable_ = value;
        SetHtmlText(value);
    }

    // Grows by one with every change that may alter the drawing.
    uint32_t Version() const { return version_; }
    // The layout with the given device fonts (may be null: device text is
    // then not drawn), made again when anything changed.
    const Layout& LaidOut(DeviceFonts* device);

  private:
    template <class T> void Change(T& field, const T& value) {
        if (field == value) return;
        field = value;
        ++version_;
    }
    std::shared_ptr<Typeface> FindFace(const TextFormat& f, DeviceFonts* device) const;

    const Dictionary& dictionary_;
    const Font* ownFont_ = nullptr; // the definition's font, found by id
    TextRuns runs_;
    TextFormat newFormat_;
    FieldBox box_;
    bool embedFonts_ = false;
    bool condenseWhite_ = false, selectable_ = true, input_ = false;
    int maxChars_ = 0;
    bool border_ = false, background_ = false;
    RGBA borderColor_{0, 0, 0, 255}, backgroundColor_{255, 255, 255, 255};
    std::string variable_;
    std::optional<std::string> shownVariable_;
    uint32_t version_ = 0;

    std::optional<Layout> layout_;
    uint32_t layoutVersion_ = 0;
    DeviceFonts* layoutDevice_ = nullptr;
};

} // namespace movie::text
