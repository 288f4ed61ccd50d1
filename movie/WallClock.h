// The date and time a movie's scripts read through Date: the machine's own
// in the saver, a fixed one where runs must repeat.
#pragma once

#include <cstdint>
#include <functional>

namespace movie {

// Days from 1 January 1970 to the given date of the proleptic Gregorian
// calendar (month from 1).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d);

struct WallClock {
    // Milliseconds since 1 January 1970, UTC.
    std::function<double()> now;
    // Minutes the local time zone is ahead of UTC at a moment (UTC milliseconds).
    std::function<double(double utc)> zoneOffset;

    // The machine's clock and time zone (daylight saving included).
    static WallClock System();
    // Always `utc`, in a zone `offsetMinutes` ahead of UTC all year.
    static WallClock Fixed(double utc, double offsetMinutes);
};

} // namespace movie
