// The flash.filters classes of SWF 8, and the properties of movie clips
// that take them: `filters` and `blendMode` (and those of CachingProperties.h
// through the same calls). A filter object becomes the same record a
// PlaceObject3 tag carries.
#pragma once

#include "movie/DisplayList.h"
#include "movie/script/Vm.h"

#include <optional>
#include <string>

namespace movie::script {

// Puts the filter classes into the flash.filters package object.
void InstallFilterClasses(Vm& vm, Object* package);

// The record of a filter object; nothing for what is no filter (or one not
// drawn, such as the displacement map).
std::optional<Filter> FilterRecordOf(Vm& vm, Object* filter);

// Reads and writes the clip properties above; false for any other name.
bool GetDisplayProperty(Vm& vm, const DisplayObject& o, const std::string& name, Value& out);
bool SetDisplayProperty(Vm& vm, DisplayObject& o, const std::string& name, const Value& v);

} // namespace movie::script
