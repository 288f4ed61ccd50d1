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
    if (!solid_)
        paint_.LayRow(x0, y_, len, layer_ + s, cov, LayMode::Add, scratch_);
    else if (cov)
        AddRowCoverage(layer_ + s, &paint_.color, 0, cov, len);
    else
        AddRow(layer_ + s, &paint_.color, 0, len);
}

} // namespace movie::raster
