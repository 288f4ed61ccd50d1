#include "movie/Font.h"

#include <algorithm>
#include <numeric>

namespace movie {

void Font::IndexCodes() {
    byCode.resize(glyphs.size());
    std::iota(byCode.begin(), byCode.end(), 0u);
    // Stable: of two glyphs with one code, the first wins.
    std::stable_sort(byCode.begin(), byCode.end(),
                     [this](uint32_t a, uint32_t b) { return glyphs[a].code < glyphs[b].code; });
}

const Glyph* Font::GlyphFor(char32_t code) const {
    auto it = std::lower_bound(byCode.begin(), byCode.end(), code,
                               [this](uint32_t i, char32_t c) { return glyphs[i].code < c; });
    if (it == byCode.end() || glyphs[*it].code != code) return nullptr;
    return &glyphs[*it];
}

} // namespace movie
