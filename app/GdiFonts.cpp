#include "app/GdiFonts.h"

#include "gui/GdiObject.h"
#include "gui/Text.h"

#include <windows.h>

#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace {

std::string FamilyFor(const std::string& name) {
    if (name == "_sans" || name.empty()) return "Arial";
    if (name == "_serif") return "Times New Roman";
    if (name == "_typewriter") return "Courier New";
    return name;
}

HFONT MakeFont(const std::string& family, bool bold, bool italic, int height) {
    LOGFONTW lf{};
    lf.lfHeight = -height;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    std::wstring wide = gui::Utf8ToWide(family);
    wcsncpy(lf.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

double FromFixed(FIXED f) {
    return f.value + f.fract / 65536.0;
}

// One GDI face selected into a DC of its own, at one em = its design units.
class GdiFace final : public movie::text::Typeface {
  public:
    GdiFace(gui::FontHandle font, int em, int ascent, int descent)
        : font_(std::move(font)), select_(dc_.Get(), font_.Get()), em_(em), ascent_(ascent),
          descent_(descent) {}

    double EmSquare() const override { return em_; }
    double Ascent() const override { return ascent_; }
    double Descent() const override { return descent_; }
    bool Device() const override { return true; }

    const movie::Glyph* GlyphFor(char32_t code) override {
        auto it = glyphs_.find(code);
        if (it != glyphs_.end()) return it->second.get();
        std::unique_ptr<movie::Glyph> glyph;
        if (code <= 0xFFFF) glyph = Outline(static_cast<UINT>(code));
        return glyphs_.emplace(code, std::move(glyph)).first->second.get();
    }

  private:
    // The glyph's outline: lines, quadratic B-splines (their implied points
    // between two off-curve points) and cubic pieces (halved into quadratics).
    std::unique_ptr<movie::Glyph> Outline(UINT code) {
        WORD index = 0;
        wchar_t ch = static_cast<wchar_t>(code);
        if (GetGlyphIndicesW(dc_.Get(), &ch, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR ||
            index == 0xFFFF)
            return nullptr;
        GLYPHMETRICS gm{};
        const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        const UINT format = GGO_NATIVE | GGO_UNHINTED;
        DWORD size = GetGlyphOutlineW(dc_.Get(), code, format, &gm, 0, nullptr, &identity);
        if (size == GDI_ERROR) return nullptr;
        std::vector<BYTE> buffer(size);
        if (size &&
            GetGlyphOutlineW(dc_.Get(), code, format, &gm, size, buffer.data(), &identity) == GDI_ERROR)
            return nullptr;
        auto glyph = std::make_unique<movie::Glyph>();
        glyph->code = static_cast<uint16_t>(code);
        glyph->advance = gm.gmCellIncX;
        movie::StyleGroup& g = glyph->shape.groups.emplace_back();
        g.fills.emplace_back();
        glyph->shape.usesFillWindingRule = true;
        struct P {
            double x, y;
        };
        auto point = [](P p) {
            return movie::Point{static_cast<int32_t>(std::lround(p.x)),
                                static_cast<int32_t>(std::lround(-p.y))};
        };
        auto fx = [](const POINTFX& p) { return P{FromFixed(p.x), FromFixed(p.y)}; };
        auto mid = [](P a, P b) { return P{(a.x + b.x) / 2, (a.y + b.y) / 2}; };
        size_t at = 0;
        while (at + sizeof(TTPOLYGONHEADER) <= buffer.size()) {
            const auto* header = reinterpret_cast<const TTPOLYGONHEADER*>(buffer.data() + at);
            const size_t end = at + header->cb;
            if (header->cb < sizeof(TTPOLYGONHEADER) || end > buffer.size()) break;
            movie::Path path;
            path.fill1 = 1;
            P current = fx(header->pfxStart);
            path.start = point(current);
            size_t c = at + sizeof(TTPOLYGONHEADER);
            while (c + sizeof(WORD) * 2 <= end) {
                const auto* curve = reinterpret_cast<const TTPOLYCURVE*>(buffer.data() + c);
                const size_t count = curve->cpfx;
                if (c + sizeof(WORD) * 2 + count * sizeof(POINTFX) > end) break;
                const POINTFX* pts = curve->apfx;
                if (curve->wType == TT_PRIM_LINE) {
                    for (size_t i = 0; i < count; ++i) {
                        current = fx(pts[i]);
                        path.segments.push_back({false, {}, point(current)});
                    }
                } else if (curve->wType == TT_PRIM_QSPLINE) {
                    for (size_t i = 0; i + 1 < count; ++i) {
                        P control = fx(pts[i]);
                        P to = i + 2 < count ? mid(control, fx(pts[i + 1])) : fx(pts[i + 1]);
                        path.segments.push_back({true, point(control), point(to)});
                        current = to;
                    }
                } else if (curve->wType == TT_PRIM_CSPLINE) {
                    for (size_t i = 0; i + 2 < count; i += 3) {
                        const P p0 = current, p1 = fx(pts[i]), p2 = fx(pts[i + 1]), p3 = fx(pts[i + 2]);
                        const P a = mid(p0, p1), b = mid(p1, p2), cc = mid(p2, p3), ab = mid(a, b),
                                bc = mid(b, cc);
                        const P m = mid(ab, bc);
                        auto control = [](P q0, P q1, P q2, P q3) {
                            return P{(3 * (q1.x + q2.x) - q0.x - q3.x) / 4,
                                     (3 * (q1.y + q2.y) - q0.y - q3.y) / 4};
                        };
                        path.segments.push_back({true, point(control(p0, a, ab, m)), point(m)});
                        path.segments.push_back({true, point(control(m, bc, cc, p3)), point(p3)});
                        current = p3;
                    }
                }
                c += sizeof(WORD) * 2 + count * sizeof(POINTFX);
            }
            path.segments.push_back({false, {}, path.start}); // contours close on their start
            g.paths.push_back(std::move(path));
            at = end;
        }
        return glyph;
    }

    gui::MemoryDC dc_;
    gui::FontHandle font_;
    gui::SelectObjectGuard select_;
    int em_, ascent_, descent_;
    std::unordered_map<char32_t, std::unique_ptr<movie::Glyph>> glyphs_;
};

} // namespace

std::shared_ptr<movie::text::Typeface> GdiFonts::Face(const std::string& family, bool bold, bool italic) {
    auto key = std::make_tuple(family, bold, italic);
    if (auto it = faces_.find(key); it != faces_.end()) return it->second;
    std::shared_ptr<movie::text::Typeface> face;
    const std::string name = FamilyFor(family);
    // The design units of the face, then the face made one em of them high.
    HFONT probe = MakeFont(name, bold, italic, 1024);
    if (probe) {
        gui::FontHandle probeFont(probe);
        gui::MemoryDC dc;
        int em = 0;
        {
            gui::SelectObjectGuard select(dc.Get(), probeFont.Get());
            OUTLINETEXTMETRICW otm{};
            otm.otmSize = sizeof otm;
            if (GetOutlineTextMetricsW(dc.Get(), sizeof otm, &otm)) em = static_cast<int>(otm.otmEMSquare);
        }
        if (em > 0 && em <= 16384) {
            if (HFONT exact = MakeFont(name, bold, italic, em)) {
                gui::FontHandle font(exact);
                TEXTMETRICW tm{};
                gui::SelectObjectGuard select(dc.Get(), font.Get());
                if (GetTextMetricsW(dc.Get(), &tm)) {
                    const int ascent = tm.tmAscent, descent = tm.tmDescent;
                    face = std::make_shared<GdiFace>(std::move(font), em, ascent, descent);
                }
            }
        }
    }
    faces_.emplace(key, face);
    return face;
}
