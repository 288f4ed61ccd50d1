// What the files installing the built-in classes share.
#pragma once

#include "movie/script/Vm.h"

namespace movie::script {

// The i-th argument, undefined when missing.
inline Value Arg(Args& a, size_t i) {
    return i < a.size() ? a[i] : Value();
}

// Text as escape() and unescape() make it: all but letters and digits as
// %XX; %XX and '+' (a space) read back.
std::string UrlEscape(const std::string& s);
std::string UrlUnescape(const std::string& s);

} // namespace movie::script
