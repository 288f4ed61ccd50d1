// Filters as the file holds them (a kind and its parameter bytes) and as the
// renderer applies them. Scripts build the same records, so one decoder
// serves both.
#pragma once

#include "movie/Timeline.h"
#include "movie/raster/Filters.h"

#include <optional>
#include <vector>

namespace movie::render {

// The filter a record describes; nothing for a record that is cut short.
std::optional<raster::FilterSpec> DecodeFilter(const Filter& record);
// The filters of records, those cut short left out.
raster::FilterList DecodeFilters(const std::vector<Filter>& records);
// The record of a filter, as a PlaceObject3 tag would hold it.
Filter EncodeFilter(const raster::FilterSpec& spec);

} // namespace movie::render
