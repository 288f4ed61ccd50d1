// The format of a run of text in a text field, as scripts and the HTML
// subset set it. Sizes and distances in pixels (twentieths of them count).
#pragma once

#include "movie/Font.h"
#include "movie/Geometry.h"

#include <string>
#include <vector>

namespace movie::text {

struct TextFormat {
    // Character format.
    std::string font = "Times New Roman";
    double size = 12;
    RGBA color{0, 0, 0, 255};
    bool bold = false;
    bool italic = false;
    bool underline = false;
    double letterSpacing = 0;
    bool kerning = false; // the font's kerning pairs apply
    std::string url, target;
    // Paragraph format: the first character of a paragraph decides it.
    TextAlign align = TextAlign::Left;
    double leftMargin = 0, rightMargin = 0, indent = 0, blockIndent = 0, leading = 0;
    bool bullet = false;

    friend bool operator==(const TextFormat&, const TextFormat&) = default;
};

// Characters in one format. A '\n' ends a paragraph.
struct TextRun {
    std::u32string text;
    TextFormat format;
};
using TextRuns = std::vector<TextRun>;

// UTF-8 <-> code points. Bytes that are no UTF-8 stand for themselves
// (Latin-1), so that nothing is lost.
std::u32string DecodeUtf8(std::string_view s);
std::string EncodeUtf8(std::u32string_view s);

// Plain text in one format: "\r\n", "\r" and "\n" each end a paragraph.
TextRuns PlainRuns(std::string_view utf8, const TextFormat& format);
// The text of runs as scripts read it: paragraphs ended by '\r'.
std::string PlainText(const TextRuns& runs);

// The HTML subset of text fields: <p align>, <br>, <b>, <i>, <u>,
// <font face size color letterSpacing>, <a href target>, <li>,
// <textformat leftmargin rightmargin indent blockindent leading>, the
// entities &lt; &gt; &amp; &quot; &apos; &nbsp; and &#N; / &#xN;. Unknown
// tags are dropped with their markup, their text kept; a line break in the
// source ends a paragraph, unless `condenseWhite`: then every run of white
// space in the source is one space, and none begins a paragraph. Never fails:
// whatever the markup, the text stays.
TextRuns ParseHtml(std::string_view html, const TextFormat& base, bool condenseWhite = false);
// Runs written back as the player writes a field's HTML: one <P> per
// paragraph with a <FONT> per run.
std::string WriteHtml(const TextRuns& runs);

} // namespace movie::text
