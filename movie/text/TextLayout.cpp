#include "movie/text/TextLayout.h"

#include "movie/Limits.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace movie::text {

namespace {

// One character with what the layout needs of it.
struct Item {
    char32_t c = 0;
    const TextFormat* format = nullptr;
    const Glyph* glyph = nullptr;
    Typeface* face = nullptr;
    double scale = 0;   // font units to twips
    double advance = 0; // twips, letter spacing included
    double ascent = 0, descent = 0;
};

struct Line {
    size_t begin = 0, end = 0; // items, the paragraph's '\n' excluded
    const TextFormat* paragraph = nullptr;
    double left = 0;  // twips from the box's left edge to where the text may start
    double avail = 0; // twips the text may take
    double width = 0; // of its text, trailing spaces left out
    double ascent = 0, descent = 0, leading = 0;
    bool lastOfParagraph = false;
    bool bullet = false;
};

constexpr double kBulletIndent = 360; // twips from the bullet to the text
constexpr double kTabStop = 720;      // default tab stops, every 36 pixels

double SizeTwips(const TextFormat& f) {
    return std::clamp(std::isfinite(f.size) ? f.size : 0.0, 0.0, Limits::kMaxFontSize) * 20;
}

double Twips(double pixels) {
    return std::isfinite(pixels) ? std::clamp(pixels, -1e6, 1e6) * 20 : 0;
}

class Builder {
  public:
    Builder(const FieldBox& box, const FaceFinder& faces) : box_(box), finder_(faces) {}

    Layout Build(const TextRuns& runs) {
        Collect(runs);
        BreakLines(runs);
        Place();
        return std::move(out_);
    }

  private:
    Typeface* Face(const TextFormat& f) {
        if (&f == lastFormat_) return lastFace_; // the characters of one run share theirs
        lastFormat_ = &f;
        auto key = std::make_tuple(f.font, f.bold, f.italic);
        auto it = faces_.find(key);
        if (it == faces_.end()) {
            std::shared_ptr<Typeface> face = finder_ ? finder_(f) : nullptr;
            if (face) out_.faces.push_back(face);
            it = faces_.emplace(key, face.get()).first;
        }
        return lastFace_ = it->second;
    }

    Item MakeItem(char32_t c, const TextFormat& f) {
        Item item;
        item.c = c;
        item.format = &f;
        const double size = SizeTwips(f);
        Typeface* face = Face(f);
        if (face && face->EmSquare() > 0) {
            item.face = face;
            item.scale = size / face->EmSquare();
            item.ascent = face->Ascent() * item.scale;
            item.descent = face->Descent() * item.scale;
            // HTML text in a device font keeps its lines within the em: the
            // face's ascent and descent are shared out over it.
            const double height = item.ascent + item.descent;
            if (box_.html && face->Device() && height > 0) {
                item.ascent *= size / height;
                item.descent *= size / height;
            }
            if (c != U'\n') item.glyph = face->GlyphFor(c);
            if (item.glyph)
                item.advance = item.glyph->advance * item.scale;
            else if (c == U' ' || c == 0xA0)
                item.advance = size / 4;
        }
        if (c != U'\n') item.advance += Twips(f.letterSpacing);
        return item;
    }

    void Collect(const TextRuns& runs) {
        size_t count = 0;
        for (const TextRun& r : runs)
            for (char32_t c : r.text) {
                if (count++ >= Limits::kMaxTextFieldCharacters) return;
                if (box_.password && c != U'\n') c = U'*';
                items_.push_back(MakeItem(c, r.format));
                Kern();
            }
    }

    // A pair in one face, both kerned, moves by the face's kerning.
    void Kern() {
        if (items_.size() < 2) return;
        Item& left = items_[items_.size() - 2];
        const Item& right = items_.back();
        if (left.glyph && right.glyph && left.face == right.face && left.format->kerning &&
            right.format->kerning)
            left.advance += left.face->Kerning(left.c, right.c) * left.scale;
    }

    // The line's metrics from its characters; an empty line takes those of
    // its paragraph's format.
    void Measure(Line& line, const TextFormat& paragraph) {
        double width = 0;
        line.ascent = line.descent = 0;
        for (size_t i = line.begin; i < line.end; ++i) {
            line.ascent = std::max(line.ascent, items_[i].ascent);
            line.descent = std::max(line.descent, items_[i].descent);
        }
        if (line.begin == line.end) {
            Item probe = MakeItem(U'\n', paragraph);
            line.ascent = probe.ascent;
            line.descent = probe.descent;
        }
        size_t end = line.end;
        while (end > line.begin && (items_[end - 1].c == U' ' || items_[end - 1].c == U'\t'))
            --end;
        for (size_t i = line.begin; i < end; ++i)
            width += Advance(i, width);
        line.width = width;
        line.leading = Twips(paragraph.leading);
    }

    // A tab moves to the next tab stop; anything else by its advance.
    double Advance(size_t i, double x) const {
        if (items_[i].c == U'\t') return (std::floor(x / kTabStop) + 1) * kTabStop - x;
        return items_[i].advance;
    }

    void BreakLines(const TextRuns& runs) {
        static const TextFormat kDefault;
        const TextFormat* lastFormat = runs.empty() ? &kDefault : &runs.back().format;
        const double boxWidth = box_.bounds.Width();
        size_t p = 0;
        for (;;) {
            size_t pe = p;
            while (pe < items_.size() && items_[pe].c != U'\n')
                ++pe;
            const TextFormat& pf = p < items_.size() ? *items_[p].format : *lastFormat;
            const double blockLeft = Twips(pf.leftMargin) + Twips(pf.blockIndent);
            const double right = kGutter + Twips(pf.rightMargin);
            size_t i = p;
            bool first = true;
            do {
                Line line;
                line.paragraph = &pf;
                line.bullet = pf.bullet && first;
                // A negative indent pulls the first line left, never past the gutter.
                line.left = kGutter + std::max(0.0, blockLeft + (first ? Twips(pf.indent) : 0)) +
                            (pf.bullet ? kBulletIndent : 0);
                line.avail = boxWidth - line.left - right;
                line.begin = i;
                size_t j = i;
                if (box_.wordWrap) {
                    double x = 0;
                    size_t lastBreak = i;
                    while (j < pe) {
                        const double a = Advance(j, x);
                        const bool space = items_[j].c == U' ' || items_[j].c == U'\t';
                        if (j > i && !space && x + a > line.avail) {
                            if (lastBreak > i) j = lastBreak;
                            break;
                        }
                        x += a;
                        ++j;
                        if (space) lastBreak = j;
                    }
                } else {
                    j = pe;
                }
                line.end = j;
                line.lastOfParagraph = j >= pe;
                Measure(line, pf);
                lines_.push_back(line);
                i = j;
                first = false;
            } while (i < pe);
            if (pe >= items_.size()) break;
            p = pe + 1;
        }
    }

    void Place() {
        // Heights and widths, for auto size and scrolling.
        double height = 0, width = 0;
        std::vector<double> tops;
        for (size_t k = 0; k < lines_.size(); ++k) {
            const Line& l = lines_[k];
            tops.push_back(height);
            height += l.ascent + l.descent + (k + 1 < lines_.size() ? l.leading : 0);
            width = std::max(width, l.width + l.left - kGutter + Twips(l.paragraph->rightMargin));
        }
        out_.textWidth = width;
        out_.textHeight = height;
        out_.lineCount = static_cast<int>(lines_.size());

        Rect& b = out_.bounds;
        b = box_.bounds;
        if (box_.autoSize != AutoSize::None) {
            if (!box_.wordWrap) {
                const int32_t w = static_cast<int32_t>(std::min(std::ceil(width + 2 * kGutter), 1e9));
                if (box_.autoSize == AutoSize::Right)
                    b.xMin = b.xMax - w;
                else if (box_.autoSize == AutoSize::Center)
                    b.xMin = (b.xMin + b.xMax) / 2 - w / 2;
                b.xMax = b.xMin + w;
            }
            b.yMax = b.yMin + static_cast<int32_t>(std::min(std::ceil(height + 2 * kGutter), 1e9));
        }

        // The last scroll position that still fills the box.
        const double visible = b.Height() - 2 * kGutter;
        int maxScroll = 1;
        while (maxScroll < out_.lineCount && height - tops[maxScroll - 1] > visible + 0.5)
            ++maxScroll;
        out_.maxScroll = maxScroll;
        const int scroll = std::clamp(box_.scroll, 1, maxScroll);
        const double dy = tops.empty() ? 0 : tops[scroll - 1];
        out_.bottomScroll = scroll;
        for (size_t k = scroll; k < lines_.size(); ++k)
            if (tops[k] + lines_[k].ascent + lines_[k].descent - dy <= visible + 0.5)
                out_.bottomScroll = static_cast<int>(k) + 1;
        const double dx = Twips(box_.hscroll);

        for (size_t k = 0; k < lines_.size(); ++k) {
            const Line& l = lines_[k];
            if (static_cast<int>(k) < scroll - 1) continue; // scrolled out above
            // A line the box cuts off at the bottom is not drawn (the top one is).
            if (static_cast<int>(k) >= out_.bottomScroll) break;
            const double top = b.yMin + kGutter + tops[k] - dy;
            const double baseline = top + l.ascent;
            const double avail = b.Width() - (box_.bounds.Width() - l.avail);
            double x = b.xMin + l.left - dx;
            double spaceExtra = 0;
            switch (l.paragraph->align) {
            case TextAlign::Right:
                x += avail - l.width;
                break;
            case TextAlign::Center:
                x += (avail - l.width) / 2;
                break;
            case TextAlign::Justify:
                if (!l.lastOfParagraph && box_.wordWrap) {
                    int spaces = 0;
                    for (size_t i = l.begin; i < l.end; ++i)
                        spaces += items_[i].c == U' ';
                    size_t end = l.end;
                    while (end > l.begin && items_[end - 1].c == U' ')
                        --end, --spaces;
                    if (spaces > 0) spaceExtra = (avail - l.width) / spaces;
                }
                break;
            case TextAlign::Left:
                break;
            }
            if (top + l.ascent + l.descent > b.yMax || x < b.xMin || x + l.width > b.xMax)
                out_.overflows = true;
            if (l.bullet) Bullet(b.xMin + l.left - kBulletIndent - dx, baseline, *l.paragraph);
            const double lineStart = x;
            double x0 = x;
            const TextFormat* underlined = nullptr;
            auto endUnderline = [&](double at) {
                if (underlined && at > x0) {
                    const double size = SizeTwips(*underlined);
                    out_.underlines.push_back({x0, at, baseline + std::max(20.0, size / 12),
                                               std::max(20.0, size / 20), underlined->color});
                }
                underlined = nullptr;
            };
            for (size_t i = l.begin; i < l.end; ++i) {
                const Item& it = items_[i];
                if (it.format->underline != (underlined != nullptr) ||
                    (underlined && !(underlined->color == it.format->color))) {
                    endUnderline(x);
                    if (it.format->underline) {
                        underlined = it.format;
                        x0 = x;
                    }
                }
                if (it.glyph && !it.glyph->shape.groups.empty())
                    out_.glyphs.push_back({&it.glyph->shape, x, baseline, it.scale, it.format->color});
                x += Advance(i, x - lineStart) + (it.c == U' ' ? spaceExtra : 0);
            }
            endUnderline(x);
        }
    }

    void Bullet(double x, double baseline, const TextFormat& f) {
        Item bullet = MakeItem(0x2022, f);
        if (bullet.glyph) out_.glyphs.push_back({&bullet.glyph->shape, x, baseline, bullet.scale, f.color});
    }

    const FieldBox& box_;
    const FaceFinder& finder_;
    std::map<std::tuple<std::string, bool, bool>, Typeface*> faces_;
    const TextFormat* lastFormat_ = nullptr;
    Typeface* lastFace_ = nullptr;
    std::vector<Item> items_;
    std::vector<Line> lines_;
    Layout out_;
};

} // namespace

Layout LayOut(const TextRuns& runs, const FieldBox& box, const FaceFinder& faces) {
    return Builder(box, faces).Build(runs);
}

} // namespace movie::text
