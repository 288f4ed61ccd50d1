// The date and time a movie's scripts read through Date: the machine's own
// in the saver, a fixed one where runs must repeat.
#pragma once

#include <functional>

namespace movie {

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
