// Text fields: the HTML subset, the layout rules (gutter, margins, indent,
// alignment, wrap, leading, letter spacing, auto size, scrolling) on a font
// of square glyphs, and what a hostile field cannot do.
#include "movie/text/TextField.h"
#include "movie/Limits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace movie;
using namespace movie::text;

namespace {

// Font units are twips at size 51.2 px (scale 1): 'X' is a 1024-wide box
// from the ascent (800) to the baseline, a space half an em.
class SquareFace final : public Typeface {
  public:
    SquareFace() {
        x_.advance = 1024;
        x_.shape.groups.emplace_back().fills.emplace_back();
        x_.shape.groups[0].paths.push_back(
            {0, 1, 0, {0, -800}, {{false, {}, {1024, -800}}, {false, {}, {1024, 0}}}});
        space_.advance = 512;
    }
    double EmSquare() const override { return 1024; }
    double Ascent() const override { return 800; }
    double Descent() const override { return 200; }
    const Glyph* GlyphFor(char32_t c) override { return c == U'X' ? &x_ : c == U' ' ? &space_ : nullptr; }
    double Kerning(char32_t l, char32_t r) const override { return l == U'X' && r == U'X' ? -24 : 0; }

  private:
    Glyph x_, space_;
};

TextFormat Square() {
    TextFormat f;
    f.font = "Square";
    f.size = 51.2;
    return f;
}

Layout Lay(const TextRuns& runs, FieldBox box) {
    auto face = std::make_shared<SquareFace>();
    return LayOut(runs, box, [&](const TextFormat&) { return face; });
}

FieldBox Box(int widthInGlyphs, int heightInLines = 10) {
    FieldBox box;
    box.bounds = {0, widthInGlyphs * 1024 + 80, 0, heightInLines * 1000 + 80};
    return box;
}

// Where each glyph's origin lies.
std::vector<std::pair<double, double>> Origins(const Layout& l) {
    std::vector<std::pair<double, double>> out;
    for (const PlacedGlyph& g : l.glyphs)
        out.emplace_back(g.x, g.y);
    return out;
}

} // namespace

TEST(TextHtml, TagsSetTheFormatsOfTheirText) {
    TextFormat base = Square();
    TextRuns runs =
        ParseHtml("<p align=\"center\"><font face='Other' size=\"+2\" color=\"#FF8000\">a&lt;b</font></p>"
                  "<P><B>bo<I>th</I></B><br><u>u</u>&#65;&#x42;&nbsp;&bogus;</P><li>item</li>"
                  "<textformat indent=\"5\" leading='3' leftmargin=\"7\"><a href=\"x\">l</a></textformat>",
                  base);
    std::map<std::string, TextFormat> byText;
    std::string all;
    for (const TextRun& r : runs) {
        byText[EncodeUtf8(r.text)] = r.format;
        all += EncodeUtf8(r.text);
    }
    EXPECT_EQ(all, "a<b\nbo"
                   "th\nuAB\xC2\xA0&bogus;\nitem\nl");
    EXPECT_EQ(byText["a<b"].align, TextAlign::Center);
    EXPECT_EQ(byText["a<b"].font, "Other");
    EXPECT_DOUBLE_EQ(byText["a<b"].size, 53.2);
    EXPECT_EQ(byText["a<b"].color, (RGBA{255, 128, 0, 255}));
    EXPECT_TRUE(byText["bo"].bold);
    EXPECT_FALSE(byText["bo"].italic);
    EXPECT_TRUE(byText["th"].bold && byText["th"].italic);
    EXPECT_TRUE(byText["u"].underline);
    EXPECT_FALSE(byText["AB\xC2\xA0&bogus;\n"].underline);
    EXPECT_TRUE(byText["item\n"].bullet);
    EXPECT_DOUBLE_EQ(byText["l"].indent, 5);
    EXPECT_DOUBLE_EQ(byText["l"].leading, 3);
    EXPECT_DOUBLE_EQ(byText["l"].leftMargin, 7);
    EXPECT_EQ(byText["l"].url, "x");
    EXPECT_EQ(byText["l"].font, "Square") << "closed tags give back the format around them";

    // What the field writes back reads as the same text in the same formats,
    // its last paragraph closed as every other.
    TextRuns again = ParseHtml(WriteHtml(runs), base);
    std::string allAgain;
    for (const TextRun& r : again)
        allAgain += EncodeUtf8(r.text);
    EXPECT_EQ(allAgain, all + "\n");
    EXPECT_EQ(again.front().format.align, TextAlign::Center);
}

TEST(TextHtml, BrokenMarkupKeepsTheText) {
    TextRuns runs =
        ParseHtml("one</b></font><font size=x color=>two<unknown a=\"1\">three</p>\r\nfour<i", Square());
    std::string all;
    for (const TextRun& r : runs)
        all += EncodeUtf8(r.text);
    EXPECT_EQ(all, "onetwothree\n\nfour");
    EXPECT_EQ(PlainText(PlainRuns("a\r\nb\nc\rd", Square())), "a\rb\rc\rd");
    EXPECT_EQ(EncodeUtf8(DecodeUtf8("\xE2\x82\xAC \xFF\xC3")), "\xE2\x82\xAC \xC3\xBF\xC3\x83")
        << "bytes that are no UTF-8 are kept as Latin-1";
}

TEST(TextLayout, GutterWrapAlignmentAndLeading) {
    TextFormat f = Square();
    f.leading = 5; // 100 twips
    FieldBox box = Box(5);
    box.wordWrap = true;
    Layout l = Lay(PlainRuns("XX XX XXX", f), box);
    // 2-pixel gutter; "XX XX" fills 4.5 em, "XXX" goes to the next line.
    ASSERT_EQ(l.lineCount, 2);
    EXPECT_EQ(Origins(l),
              (std::vector<std::pair<double, double>>{
                  {40, 840}, {1064, 840}, {2600, 840}, {3624, 840}, {40, 1940}, {1064, 1940}, {2088, 1940}}));
    EXPECT_DOUBLE_EQ(l.textWidth, 4608);
    EXPECT_DOUBLE_EQ(l.textHeight, 2100);
    EXPECT_FALSE(l.overflows);

    f.align = TextAlign::Center;
    EXPECT_DOUBLE_EQ(Lay(PlainRuns("XXX", f), box).glyphs[0].x, 40 + 1024);
    f.align = TextAlign::Right;
    EXPECT_DOUBLE_EQ(Lay(PlainRuns("XXX", f), box).glyphs[0].x, 40 + 2048);
    f.align = TextAlign::Justify;
    Layout justified = Lay(PlainRuns("XX XX XXX", f), box);
    EXPECT_DOUBLE_EQ(justified.glyphs[3].x, 40 + 4096) << "a wrapped line is spread to the right margin";
    EXPECT_DOUBLE_EQ(justified.glyphs[4].x, 40) << "the paragraph's last line is not";
}

TEST(TextLayout, MarginsIndentAndLetterSpacing) {
    TextFormat f = Square();
    f.leftMargin = 10;   // 200 twips
    f.indent = 20;       // 400 on the first line
    f.letterSpacing = 1; // 20 twips after each character
    Layout l = Lay(PlainRuns("XX\nX", f), Box(8));
    EXPECT_EQ(Origins(l), (std::vector<std::pair<double, double>>{{640, 840}, {1684, 840}, {640, 1840}}))
        << "a new paragraph is indented again";
    f.indent = -30; // more than the margin: the line starts at the gutter
    EXPECT_DOUBLE_EQ(Lay(PlainRuns("X", f), Box(8)).glyphs[0].x, 40);
}

TEST(TextLayout, KerningOnlyWhereTheFormatAsks) {
    TextFormat f = Square();
    EXPECT_DOUBLE_EQ(Lay(PlainRuns("XX", f), Box(4)).glyphs[1].x, 40 + 1024);
    f.kerning = true;
    EXPECT_DOUBLE_EQ(Lay(PlainRuns("XX", f), Box(4)).glyphs[1].x, 40 + 1000);
    EXPECT_DOUBLE_EQ(Lay(PlainRuns("X X", f), Box(4)).glyphs[1].x, 40 + 1024 + 512);
}

TEST(TextLayout, AutoSizeScrollAndOverflow) {
    TextFormat f = Square();
    FieldBox box = Box(1, 1);
    box.autoSize = AutoSize::Right;
    Layout sized = Lay(PlainRuns("XXX\nX", f), box);
    EXPECT_EQ(sized.bounds, (Rect{1104 - 3152, 1104, 0, 2080})) << "grown leftwards from the right edge";
    EXPECT_FALSE(sized.overflows);

    box.autoSize = AutoSize::None;
    box.scroll = 2;
    Layout scrolled = Lay(PlainRuns("X\nX\nX", f), box);
    EXPECT_EQ(scrolled.maxScroll, 3);
    ASSERT_FALSE(scrolled.glyphs.empty());
    EXPECT_DOUBLE_EQ(scrolled.glyphs[0].y, 840) << "the second line is at the top";
    EXPECT_TRUE(Lay(PlainRuns("XX", f), Box(1, 1)).overflows);

    // A line the box cuts at the bottom is left out; a single line is not.
    FieldBox shortBox = Box(2, 2);
    shortBox.bounds.yMax -= 100;
    EXPECT_EQ(Lay(PlainRuns("X\nX\nX", f), shortBox).glyphs.size(), 1u);
    shortBox.bounds.yMax = 500;
    EXPECT_EQ(Lay(PlainRuns("X\nX", f), shortBox).glyphs.size(), 1u);
}

TEST(TextLayout, HostileFieldsStayBounded) {
    TextFormat f = Square();
    f.size = 1e30;
    f.letterSpacing = -1e300;
    std::string many(Limits::kMaxTextFieldCharacters + 1000, 'X');
    for (size_t i = 0; i < many.size(); i += 7)
        many[i] = ' ';
    FieldBox box = Box(3, 3);
    box.wordWrap = true;
    Layout l = Lay(PlainRuns(many, f), box);
    EXPECT_LE(l.glyphs.size(), Limits::kMaxTextFieldCharacters);
    EXPECT_LE(l.lineCount, static_cast<int>(Limits::kMaxTextFieldCharacters));
    double largest = 0;
    for (const PlacedGlyph& g : l.glyphs)
        largest = std::max(largest, g.scale * 1024);
    EXPECT_LE(largest, Limits::kMaxFontSize * 20);

    // Nesting has a ceiling: the size grows by one per tag only so far.
    std::string deep;
    for (int i = 0; i < 2000; ++i)
        deep += "<font size=\"+1\">";
    TextRuns runs = ParseHtml(deep + "X", Square());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_GT(runs[0].format.size, 51.2 + 100);
    EXPECT_LE(runs[0].format.size, 51.2 + 256);
}

TEST(TextField, DefinitionStartsTheFieldAndSettersRenewTheLayout) {
    Dictionary dictionary;
    Font font;
    font.name = "Square";
    font.emSquare = 1024;
    font.hasLayout = true;
    font.ascent = 800;
    font.descent = 200;
    Glyph x;
    x.code = 'X';
    x.advance = 1024;
    x.shape.groups.emplace_back().fills.emplace_back();
    x.shape.groups[0].paths.push_back({0, 1, 0, {0, -800}, {{false, {}, {1024, 0}}}});
    font.glyphs.push_back(x);
    font.IndexCodes();
    auto c = std::make_shared<Character>();
    c->id = 1;
    c->data = font;
    dictionary.Add(c);

    EditText def;
    def.bounds = {0, 4000, 0, 2000};
    def.hasFont = true;
    def.fontId = 1;
    def.fontHeight = 1024;
    def.useOutlines = true;
    def.html = true;
    def.border = true;
    def.initialText = "<p align=\"right\">X<b>X</b></p>";
    def.variableName = "v";
    TextField field(def, dictionary);
    EXPECT_EQ(field.Text(), "XX\r") << "a closed paragraph ends in a line break";
    EXPECT_TRUE(field.Border() && field.Background());
    EXPECT_EQ(field.Variable(), "v");
    const Layout& first = field.LaidOut(nullptr);
    ASSERT_EQ(first.glyphs.size(), 2u) << "the bold X finds the plain font when the movie has no bold one";
    EXPECT_DOUBLE_EQ(first.glyphs[1].x, 4000 - 40 - 1024);

    const uint32_t before = field.Version();
    field.SetText("XXX");
    EXPECT_GT(field.Version(), before);
    EXPECT_EQ(field.LaidOut(nullptr).glyphs.size(), 3u);
    field.SetEmbedFonts(false);
    EXPECT_TRUE(field.LaidOut(nullptr).glyphs.empty()) << "device text without device fonts is not drawn";
    field.SetHtml(false);
    field.SetHtmlText("<b>X</b>");
    EXPECT_EQ(field.Text(), "<b>X</b>") << "a field that is not HTML takes markup as text";
}
