// What the processor offers beyond the x86-64 baseline (SSE2). The row loops
// run eight pixels at a time where AVX2 is there and four elsewhere; the two
// give the same pixels. Functions holding AVX2 code carry NIMBRE_AVX2 and
// run only after HasAvx2() said yes.
#pragma once

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#include <immintrin.h>
#define NIMBRE_RASTER_AVX2 1
#define NIMBRE_AVX2 __attribute__((target("avx2")))
#endif

namespace movie::raster {

// Whether the processor and the system run AVX2 code; asked once.
inline bool HasAvx2() {
#if NIMBRE_RASTER_AVX2
    // The compiler's check also asks whether the system saves the wide registers.
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

} // namespace movie::raster
