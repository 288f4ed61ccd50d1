#include "movie/Font.h"

#include <algorithm>
#include <numeric>
#include <tuple>
#include <utility>

namespace movie {

void Font::IndexCodes() {
    byCode.resize(glyphs.size());
    std::iota(byCode.begin(), byCode.end(), 0u);
    // Stable: of two glyphs with one code, the first wins.
    std::stable_sort(byCode.begin(), byCode.end(),
                     [this](uint32_t a, uint32_t b) { return glyphs[a].code < glyphs[b].code; });
    std::stable_sort(kerning.begin(), kerning.end(), [](const KerningPair& a, const KerningPair& b) {
        return std::tie(a.left, a.right) < std::tie(b.left, b.right);
    });
}

int32_t Font::Kerning(char32_t left, char32_t right) const {
    auto it = std::lower_bound(kerning.begin(), kerning.end(), std::pair{left, right},
                               [](const KerningPair& k, const std::pair<char32_t, char32_t>& p) {
                                   return std::pair<char32_t, char32_t>{k.left, k.right} < p;
                               });
    if (it == kerning.end() || it->left != left || it->right != right) return 0;
    return it->adjust;
}

const Glyph* Font::GlyphFor(char32_t code) const {
    auto it = std::lower_bound(byCode.begin(), byCode.end(), code,
                               [this](uint32_t i, char32_t c) { return glyphs[i].code < c; });
    if (it == byCode.end() || glyphs[*it].code != code) return nullptr;
    return &glyphs[*it];
}

} // namespace movie
