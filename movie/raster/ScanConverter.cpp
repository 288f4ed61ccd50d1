#include "movie/raster/ScanConverter.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>

namespace movie::raster {

IRect IRect::Intersect(const IRect& o) const {
    IRect r{std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
    if (r.Empty()) return {};
    return r;
}

IRect IRect::Union(const IRect& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
}

IRect CoveringRect(const BoundsF& b) {
    if (b.Empty()) return {};
    auto lo = [](float v) { return static_cast<int>(std::clamp(std::floor(v) - 1, -1e9f, 1e9f)); };
    auto hi = [](float v) { return static_cast<int>(std::clamp(std::ceil(v) + 1, -1e9f, 1e9f)); };
    return {lo(b.xMin), lo(b.yMin), hi(b.xMax), hi(b.yMax)};
}

bool ScanConverter::Accumulate(const EdgeList& edges, IRect clip) {
    BoundsF b = edges.Bounds();
    if (b.Empty() || clip.Empty()) return false;
    // Rows: only those the outline touches. Columns: from the outline's left
    // (or the clip's) to its right plus one, where the cover returns to zero.
    int top = std::max(clip.y0, static_cast<int>(std::max(std::floor(b.yMin), -1e9f)));
    int bottom = std::min(clip.y1, static_cast<int>(std::min(std::ceil(b.yMax), 1e9f)));
    int left = std::max(clip.x0, static_cast<int>(std::max(std::floor(b.xMin), -1e9f)));
    int right = std::min(clip.x1, static_cast<int>(std::min(std::ceil(b.xMax), 1e9f)) + 1);
    if (bottom <= top || right <= left) return false;

    originX_ = left;
    originY_ = top;
    width_ = right - left;
    height_ = bottom - top;
    stride_ = width_ + 2;
    size_t need = static_cast<size_t>(stride_) * height_;
    if (acc_.size() < need) acc_.assign(need, 0.0f);
    if (cov_.size() < static_cast<size_t>(stride_)) cov_.resize(stride_);
    words_ = stride_ / 64 + 1;
    const size_t words = static_cast<size_t>(words_) * height_;
    if (touched_.size() < words) touched_.assign(words, 0);
    // Runs and the stretches between them alternate, each at least a column.
    if (spans_.size() < static_cast<size_t>(stride_) + 2) {
        spans_.resize(stride_ + 2);
        bounds_.resize(stride_ + 2);
    }
    rowMin_.assign(height_, stride_);
    rowMax_.assign(height_, -1);

    const float fx = static_cast<float>(left), fy = static_cast<float>(top);
    const float fTop = static_cast<float>(top), fBottom = static_cast<float>(bottom);
    // Sorted by top: lines that start higher than the tallest line's height
    // above the first row end above it.
    const std::vector<Line>& lines = edges.Lines();
    const auto first = std::partition_point(lines.begin(), lines.end(), [&](const Line& l) {
        return l.Top() < fTop - edges.TallestLine();
    });
    for (auto it = first; it != lines.end(); ++it) {
        const Line& l = *it;
        if (l.Top() >= fBottom) break;
        if (l.Bottom() <= fTop || l.y0 == l.y1) continue;
        AddClipped(l.x0 - fx, l.y0 - fy, l.x1 - fx, l.y1 - fy);
    }
    return true;
}

// Clips a line to the rows 0..height and the columns 0..width; the parts left
// and right of the columns become vertical lines on the border, which keeps
// the winding of everything to their right.
void ScanConverter::AddClipped(float x0, float y0, float x1, float y1) {
    const float h = static_cast<float>(height_);
    const float w = static_cast<float>(width_);
    // Rows first.
    if (y0 < y1 ? (y0 < 0 || y1 > h) : (y1 < 0 || y0 > h)) {
        float dxdy = (x1 - x0) / (y1 - y0);
        auto clampY = [&](float& x, float& y) {
            float ny = std::clamp(y, 0.0f, h);
            if (ny != y) {
                x += (ny - y) * dxdy;
                y = ny;
            }
        };
        clampY(x0, y0);
        clampY(x1, y1);
        if (y0 == y1) return;
    }
    // Then columns, in up to three pieces.
    bool inside = x0 >= 0 && x0 <= w && x1 >= 0 && x1 <= w;
    if (inside) {
        AddLine(x0, y0, x1, y1);
        return;
    }
    float ts[4];
    int n = 0;
    ts[n++] = 0;
    float dx = x1 - x0;
    if (dx != 0) {
        float t0 = (0 - x0) / dx, tw = (w - x0) / dx;
        if (t0 > tw) std::swap(t0, tw);
        if (t0 > 0 && t0 < 1) ts[n++] = t0;
        if (tw > 0 && tw < 1) ts[n++] = tw;
    }
    ts[n++] = 1;
    float px = std::clamp(x0, 0.0f, w), py = y0;
    for (int i = 1; i < n; ++i) {
        float t = ts[i];
        float qx = i == n - 1 ? x1 : x0 + dx * t;
        float qy = i == n - 1 ? y1 : y0 + (y1 - y0) * t;
        qx = std::clamp(qx, 0.0f, w);
        if (qy != py) AddLine(px, py, qx, qy);
        px = qx;
        py = qy;
    }
}

// Adds one line lying within the accumulation area.
//
// What goes into the buffer. Take one row and the piece of the line inside
// it: it runs from x to xNext while y goes down by dy (0 < dy <= 1), and it
// adds d = dy * dir, its direction's sign, to the winding of everything to
// its right. Let F(t) be the part of the piece that lies left of column
// position t: 0 left of xa = min(x, xNext), 1 right of xb = max(x, xNext),
// and in between (t - xa) * s with s = 1 / (xb - xa), since the line is
// straight. The area of pixel i that the piece adds to, weighted by its
// winding, is then
//     C(i) = d * integral of F(t) over i <= t <= i + 1,
// which runs from 0 left of the piece to d right of it. The buffer holds the
// differences acc[i] = C(i) - C(i - 1), so that the running sum along the
// row gives every pixel's coverage and the columns right of the piece need
// no writes at all. The differences, with xai = floor(xa), xbi = ceil(xb):
//   - the piece within one column (xbi <= xai + 1): F is 0 left of it and 1
//     right of it, and the column's integral is 1 - xmf, xmf being where the
//     piece's midpoint lies within the column: acc[xai] = d * (1 - xmf), and
//     the column after takes the rest, d * xmf;
//   - across columns: in the first, F rises from 0 at xa to s * (1 - xaf)
//     (xaf = xa - xai), a triangle: a0 = s * (1 - xaf)^2 / 2. In the second,
//     F's mean is s * (1.5 - xaf) = a1, so acc[xai + 1] = d * (a1 - a0).
//     Every further whole column adds s to the mean: d * s each. The last
//     column the piece ends in, and the one after, share what is left of d,
//     am = s * xbf^2 / 2 (xbf = xb - xbi + 1, the triangle right of the
//     piece in its last column) going to the column after.
// The differences of one piece add up to d in every row: the running sum
// returns to the winding it had plus d, which is what the debug build
// checks.
void ScanConverter::AddLine(float x0, float y0, float x1, float y1) {
    float dir = 1;
    if (y0 > y1) {
        dir = -1;
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const float dxdy = (x1 - x0) / (y1 - y0);
    const int yStart = static_cast<int>(y0);
    int yEnd = static_cast<int>(y1);
    if (static_cast<float>(yEnd) < y1) ++yEnd;
    yEnd = std::min(height_, yEnd);
    if (yEnd <= yStart) return;
    const float xLimit = static_cast<float>(width_);
    // The first and last rows take the part of the line within them; every
    // row between takes all of one unit of height.
    auto partRow = [&](int y, float x) __attribute__((always_inline)) {
        const float fy = static_cast<float>(y);
        const float dy = std::min(fy + 1, y1) - std::max(fy, y0);
        const float xNext = std::clamp(x + dxdy * dy, 0.0f, xLimit);
        AddPiece(y, x, xNext, dy * dir);
        return xNext;
    };
    float x = partRow(yStart, x0);
    const int yLast = yEnd - 1;
    if (yLast == yStart) return;
    int y = yStart + 1;
    if (dxdy == 0) {
        // A vertical line writes the same two values into every whole row.
        const int xi = static_cast<int>(x);
        const float xmf = 0.5f * (x + x) - static_cast<float>(xi);
        const float left = dir - dir * xmf, right = dir * xmf;
        for (; y < yLast; ++y) {
            float* row = acc_.data() + static_cast<size_t>(y) * stride_;
            row[xi] += left;
            row[xi + 1] += right;
            Touch(y, xi, xi + 1);
        }
    } else {
        for (; y < yLast; ++y) {
            const float xNext = std::clamp(x + dxdy, 0.0f, xLimit);
            AddPiece(y, x, xNext, dir);
            x = xNext;
        }
    }
    partRow(yLast, x);
}

// The piece of a line within row y, from x to xNext, adding d to the winding.
[[gnu::always_inline]] inline void ScanConverter::AddPiece(int y, float x, float xNext, float d) {
    float* row = acc_.data() + static_cast<size_t>(y) * stride_;
    const float xa = x < xNext ? x : xNext;
    const float xb = x < xNext ? xNext : x;
    // Both are >= 0 here: truncation is floor.
    const int xai = static_cast<int>(xa);
    const float xaFloor = static_cast<float>(xai);
    int xbi = static_cast<int>(xb);
    if (static_cast<float>(xbi) < xb) ++xbi;
    const float xbCeil = static_cast<float>(xbi);
    int lastWritten;
#ifndef NDEBUG
    // What the touched columns held before, for the check below.
    const int lastTouched = std::max(xbi, xai + 1);
    double before = 0, scale = 1;
    for (int xi = xai; xi <= lastTouched; ++xi) {
        before += row[xi];
        scale += std::fabs(row[xi]);
    }
#endif
    if (xbi <= xai + 1) {
        const float xmf = 0.5f * (x + xNext) - xaFloor;
        row[xai] += d - d * xmf;
        row[xai + 1] += d * xmf;
        lastWritten = xai + 1;
    } else {
        const float s = 1.0f / (xb - xa);
        const float xaf = xa - xaFloor;
        const float a0 = 0.5f * s * (1 - xaf) * (1 - xaf);
        const float xbf = xb - xbCeil + 1;
        const float am = 0.5f * s * xbf * xbf;
        row[xai] += d * a0;
        if (xbi == xai + 2) {
            row[xai + 1] += d * (1 - a0 - am);
        } else {
            const float a1 = s * (1.5f - xaf);
            row[xai + 1] += d * (a1 - a0);
            for (int xi = xai + 2; xi < xbi - 1; ++xi)
                row[xi] += d * s;
            const float a2 = a1 + static_cast<float>(xbi - xai - 3) * s;
            row[xbi - 1] += d * (1 - a2 - am);
        }
        row[xbi] += d * am;
        lastWritten = xbi;
    }
#ifndef NDEBUG
    // The piece adds its signed height to the row's running sum, no more, no less (to within
    // the rounding of the floats written).
    assert(xai >= 0 && lastWritten == lastTouched && lastWritten < stride_);
    double after = 0;
    for (int xi = xai; xi <= lastTouched; ++xi) {
        after += row[xi];
        scale += std::fabs(row[xi]);
    }
    assert(std::fabs(after - before - d) <= 1e-6 * scale);
#endif
    Touch(y, xai, lastWritten);
}

[[gnu::always_inline]] inline void ScanConverter::Touch(int row, int first, int last) {
    if (first < rowMin_[row]) rowMin_[row] = first;
    if (last > rowMax_[row]) rowMax_[row] = last;
    uint64_t* bits = TouchedRow(row);
    const int w0 = first >> 6, w1 = last >> 6;
    const uint64_t head = ~uint64_t{0} << (first & 63), tail = ~uint64_t{0} >> (63 - (last & 63));
    if (w0 == w1) {
        bits[w0] |= head & tail;
        return;
    }
    bits[w0] |= head;
    for (int w = w0 + 1; w < w1; ++w)
        bits[w] = ~uint64_t{0};
    bits[w1] |= tail;
}

// A run starts and ends where a column's bit differs from the one before;
// the bits are cleared for the next fill.
int ScanConverter::RunBounds(int row) {
    uint64_t* bits = TouchedRow(row);
    // The column after the last written one is never marked, and has a word.
    const int firstWord = rowMin_[row] >> 6, lastWord = (rowMax_[row] + 1) >> 6;
    int* bounds = bounds_.data();
    int found = 0;
    uint64_t carry = 0; // the bit of the column before the word's first
    for (int w = firstWord; w <= lastWord; ++w) {
        const uint64_t word = bits[w];
        if (word == 0 && carry == 0) continue;
        bits[w] = 0;
        uint64_t changes = word ^ ((word << 1) | carry);
        carry = word >> 63;
        for (; changes != 0; changes &= changes - 1)
            bounds[found++] = w * 64 + std::countr_zero(changes);
    }
    return found;
}

void ScanConverter::Harden(int lo, int count) {
    for (int k = 0; k < count; ++k) {
        CoverageSpan& sp = spans_[k];
        if (sp.value != CoverageSpan::kVaries) {
            sp.value = sp.value >= 128 ? 255 : 0;
            continue;
        }
        for (int i = lo + sp.s; i < lo + sp.e; ++i)
            cov_[i] = cov_[i] >= 128 ? 255 : 0;
    }
}

void ScanConverter::Expand(const uint8_t* cov, const CoverageSpan* spans, int count, uint8_t* out) {
    for (int k = 0; k < count; ++k) {
        const CoverageSpan& sp = spans[k];
        if (sp.value == CoverageSpan::kVaries)
            std::memcpy(out + sp.s, cov + sp.s, static_cast<size_t>(sp.e - sp.s));
        else
            std::memset(out + sp.s, sp.value, static_cast<size_t>(sp.e - sp.s));
    }
}

} // namespace movie::raster
