#include "movie/WallClock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace movie {

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

namespace {

double SystemZoneOffset(double utc) {
    if (!std::isfinite(utc)) return 0;
    // The C library knows the zone's rules for the years time_t reaches;
    // moments outside them take the rules of the nearest one.
    double seconds = std::clamp(std::floor(utc / 1000), 0.0, 2147483647.0);
    auto t = static_cast<std::time_t>(seconds);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &t) != 0) return 0;
#else
    if (!localtime_r(&t, &local)) return 0;
#endif
    double asUtc =
        static_cast<double>(DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)) * 86400 +
        local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return std::round((asUtc - static_cast<double>(t)) / 60);
}

} // namespace

WallClock WallClock::System() {
    return {[] {
                auto since = std::chrono::system_clock::now().time_since_epoch();
                return static_cast<double>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
            },
            SystemZoneOffset};
}

WallClock WallClock::Fixed(double utc, double offsetMinutes) {
    return {[utc] { return utc; }, [offsetMinutes](double) { return offsetMinutes; }};
}

} // namespace movie
