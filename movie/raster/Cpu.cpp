#include "movie/raster/Cpu.h"

namespace movie::raster {

bool HasAvx2() {
#if NIMBRE_RASTER_AVX2
    // The compiler's check also asks whether the system saves the wide registers.
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

} // namespace movie::raster
