// The properties of movie clips that draw them through a bitmap:
// `cacheAsBitmap`, `opaqueBackground` (a colour number, or undefined for
// none) and `scrollRect` (a flash.geom.Rectangle, or undefined for none).
#pragma once

#include "movie/DisplayList.h"
#include "movie/script/Vm.h"

#include <string>

namespace movie::script {

// Reads and writes the properties above; false for any other name.
bool GetCachingProperty(Vm& vm, const DisplayObject& o, const std::string& name, Value& out);
bool SetCachingProperty(Vm& vm, DisplayObject& o, const std::string& name, const Value& v);

} // namespace movie::script
