// What the files installing the built-in classes share.
#pragma once

#include "movie/script/Vm.h"

namespace movie::script {

// The i-th argument, undefined when missing.
inline Value Arg(Args& a, size_t i) {
    return i < a.size() ? a[i] : Value();
}

} // namespace movie::script
