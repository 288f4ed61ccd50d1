#include "movie/raster/Blitter.h"

#include <algorithm>

namespace movie::raster {

void LayerAddBlitter::Add(int s, int e, const uint8_t* cov) {
    const int x0 = x_ + s, x1 = x_ + e;
    if (!runs_.empty() && runs_.back().row == bandRow_ && runs_.back().x1 >= x0 && runs_.back().x0 <= x1) {
        runs_.back().x0 = std::min(runs_.back().x0, x0);
        runs_.back().x1 = std::max(runs_.back().x1, x1);
    } else {
        runs_.push_back({bandRow_, x0, x1});
    }
    const int len = e - s;
    const Pixel* src = &paint_.color;
    size_t step = 0;
    if (!solid_) {
        paint_.ShadeRow(x0, y_, len, scratch_);
        src = scratch_;
        step = 1;
    }
    if (!cov)
        AddRow(layer_ + s, src, step, len);
    else
        AddRowCoverage(layer_ + s, src, step, cov, len);
}

} // namespace movie::raster
