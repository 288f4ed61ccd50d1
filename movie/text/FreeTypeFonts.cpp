#include "movie/text/FreeTypeFonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace movie::text {

namespace {

std::string FamilyFor(const std::string& name) {
    if (name == "_sans" || name.empty()) return "Noto Sans";
    if (name == "_serif") return "Noto Serif";
    if (name == "_typewriter") return "Noto Sans Mono";
    return name;
}

const FcChar8* Fc(const std::string& s) {
    return reinterpret_cast<const FcChar8*>(s.c_str());
}

// One FreeType face; glyph outlines made into shapes as they are first asked for.
class FreeTypeFace final : public Typeface {
  public:
    FreeTypeFace(FT_Face face, std::shared_ptr<void> library) : face_(face), library_(std::move(library)) {}
    ~FreeTypeFace() override { FT_Done_Face(face_); }
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    double EmSquare() const override { return face_->units_per_EM; }
    double Ascent() const override { return face_->ascender; }
    double Descent() const override { return -face_->descender; }
    bool Device() const override { return true; }

    const Glyph* GlyphFor(char32_t code) override {
        auto it = glyphs_.find(code);
        if (it != glyphs_.end()) return it->second.get();
        // Only glyphs the face has are kept, so that text running through
        // every code point leaves no more behind than the face holds.
        FT_UInt index = FT_Get_Char_Index(face_, code);
        if (index == 0 || FT_Load_Glyph(face_, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0)
            return nullptr;
        return glyphs_.emplace(code, MakeGlyph(code)).first->second.get();
    }

  private:
    // The loaded glyph's outline, y turned downwards; cubic pieces (of
    // PostScript outlines) split into quadratic ones.
    std::unique_ptr<Glyph> MakeGlyph(char32_t code) {
        auto glyph = std::make_unique<Glyph>();
        glyph->code = static_cast<uint16_t>(code <= 0xFFFF ? code : 0);
        glyph->advance = static_cast<int32_t>(face_->glyph->metrics.horiAdvance);
        Shape& shape = glyph->shape;
        StyleGroup& g = shape.groups.emplace_back();
        g.fills.emplace_back();
        shape.usesFillWindingRule = true;
        struct Sink {
            StyleGroup* group;
            Point at;
        } sink{&g, {}};
        FT_Outline_Funcs funcs{};
        funcs.move_to = [](const FT_Vector* to, void* user) {
            auto* s = static_cast<Sink*>(user);
            Path p;
            p.fill1 = 1;
            p.start = s->at = Point{static_cast<int32_t>(to->x), static_cast<int32_t>(-to->y)};
            s->group->paths.push_back(std::move(p));
            return 0;
        };
        funcs.line_to = [](const FT_Vector* to, void* user) {
            auto* s = static_cast<Sink*>(user);
            if (s->group->paths.empty()) return 1;
            s->at = Point{static_cast<int32_t>(to->x), static_cast<int32_t>(-to->y)};
            s->group->paths.back().segments.push_back({false, {}, s->at});
            return 0;
        };
        funcs.conic_to = [](const FT_Vector* control, const FT_Vector* to, void* user) {
            auto* s = static_cast<Sink*>(user);
            if (s->group->paths.empty()) return 1;
            s->at = Point{static_cast<int32_t>(to->x), static_cast<int32_t>(-to->y)};
            s->group->paths.back().segments.push_back(
                {true, Point{static_cast<int32_t>(control->x), static_cast<int32_t>(-control->y)}, s->at});
            return 0;
        };
        funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
            auto* s = static_cast<Sink*>(user);
            if (s->group->paths.empty()) return 1;
            struct P {
                double x, y;
            };
            auto mid = [](P a, P b) { return P{(a.x + b.x) / 2, (a.y + b.y) / 2}; };
            auto point = [](P p) {
                return Point{static_cast<int32_t>(std::lround(p.x)), static_cast<int32_t>(std::lround(p.y))};
            };
            const P p0{double(s->at.x), double(s->at.y)}, p1{double(c1->x), -double(c1->y)};
            const P p2{double(c2->x), -double(c2->y)}, p3{double(to->x), -double(to->y)};
            // Halved at t = 1/2; each half becomes the quadratic through
            // the same ends whose control is (3 (q1 + q2) - q0 - q3) / 4.
            const P a = mid(p0, p1), b = mid(p1, p2), c = mid(p2, p3), ab = mid(a, b), bc = mid(b, c),
                    m = mid(ab, bc);
            auto control = [](P q0, P q1, P q2, P q3) {
                return P{(3 * (q1.x + q2.x) - q0.x - q3.x) / 4, (3 * (q1.y + q2.y) - q0.y - q3.y) / 4};
            };
            auto& segs = s->group->paths.back().segments;
            segs.push_back({true, point(control(p0, a, ab, m)), point(m)});
            s->at = point(p3);
            segs.push_back({true, point(control(m, bc, c, p3)), s->at});
            return 0;
        };
        if (FT_Outline_Decompose(&face_->glyph->outline, &funcs, &sink) != 0) g.paths.clear();
        return glyph;
    }

    FT_Face face_;
    std::shared_ptr<void> library_;
    std::unordered_map<char32_t, std::unique_ptr<Glyph>> glyphs_;
};

} // namespace

// Faces keep the library alive: a layout may hold one after the fonts are gone.
struct FreeTypeFonts::Library {
    FT_Library ft = nullptr;
    FcConfig* config = nullptr;
    ~Library() {
        if (config) FcConfigDestroy(config);
        if (ft) FT_Done_FreeType(ft);
    }
};

FreeTypeFonts::FreeTypeFonts() : library_(std::make_shared<Library>()) {
    if (FT_Init_FreeType(&library_->ft) != 0) library_->ft = nullptr;
    library_->config = FcInitLoadConfigAndFonts();
}

FreeTypeFonts::FreeTypeFonts(std::vector<std::string> installed) : FreeTypeFonts() {
    installed_ = std::move(installed);
}

FreeTypeFonts::~FreeTypeFonts() {
    faces_.clear();
}

std::shared_ptr<Typeface> FreeTypeFonts::Face(const std::string& family, bool bold, bool italic) {
    auto key = std::make_tuple(family, bold, italic);
    if (auto it = faces_.find(key); it != faces_.end()) return it->second;
    std::shared_ptr<Typeface> face;
    if (library_->ft && library_->config) {
        FcPattern* pattern = FcPatternCreate();
        std::string name = FamilyFor(family);
        std::string fallback = "Noto Sans";
        if (!installed_.empty()) {
            auto same = [&](const std::string& f) { return FcStrCmpIgnoreCase(Fc(f), Fc(family)) == 0; };
            fallback = installed_.front();
            name = std::any_of(installed_.begin(), installed_.end(), same) ? family : fallback;
        }
        FcPatternAddString(pattern, FC_FAMILY, Fc(name));
        FcPatternAddString(pattern, FC_FAMILY, Fc(fallback));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(library_->config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(library_->config, pattern, &result);
        FcChar8* file = nullptr;
        int index = 0;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            FT_Face ftFace = nullptr;
            if (FT_New_Face(library_->ft, reinterpret_cast<const char*>(file), index, &ftFace) == 0) {
                if (FT_IS_SCALABLE(ftFace) && ftFace->units_per_EM > 0)
                    face = std::make_shared<FreeTypeFace>(ftFace, library_);
                else
                    FT_Done_Face(ftFace);
            }
        }
        if (match) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    faces_.emplace(key, face);
    return face;
}

} // namespace movie::text
