// Date: a moment as milliseconds since 1970 (UTC), read and set in local
// time or UTC. The calendar is the proleptic Gregorian one over any year;
// times are not clipped to a range, and the parts of a day are worked out
// in floating point as the player does.
#include "movie/WallClock.h"
#include "movie/script/Classes.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace movie::script {

namespace {

constexpr double kMsPerDay = 86400000;

// A date is an object the Date class made its own, its time kept as its
// primitive value: one `new Date` made, or one a subclass's super() made a date.
struct DateView {
    double& time;
};

std::optional<DateView> AsDate(const Value& v) {
    if (!v.IsObject() || !v.o->native || v.o->className != "Date" || !v.o->primitive.IsNumber())
        return std::nullopt;
    return DateView{v.o->primitive.n};
}

double PosMod(double a, double b) {
    double r = std::fmod(a, b);
    return r < 0 ? r + b : r;
}

// The whole days before t, exactly.
double Day(double t) {
    double d = std::floor(t / kMsPerDay);
    if (d * kMsPerDay > t) d -= 1;
    if ((d + 1) * kMsPerDay <= t) d += 1;
    return d;
}

struct Civil {
    double year, month, date; // month from 0, date from 1
};

Civil CivilFromDays(double days) {
    int64_t z = static_cast<int64_t>(days) + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t d = doy - (153 * mp + 2) / 5 + 1;
    int64_t m = mp < 10 ? mp + 3 : mp - 9;
    int64_t y = yoe + era * 400 + (m <= 2);
    return {static_cast<double>(y), static_cast<double>(m - 1), static_cast<double>(d)};
}

// The parts of a moment: year, month, date, hours, minutes, seconds,
// milliseconds and weekday.
struct Parts {
    double year, month, date, hours, minutes, seconds, ms, day;
};

// A 32-bit integer as the player's conversion makes it: what does not fit,
// NaN too, becomes -2^31.
double PlayerInt(double x) {
    return std::isfinite(x) && std::fabs(x) < 2147483648.0 ? std::trunc(x) : -2147483648.0;
}

// How many whole units of `unit` milliseconds t holds, as the getters count
// them: through the unit's reciprocal with a hair of tolerance, so that near
// the end of the range a time a millisecond short of the hour reads as on it.
double ShownUnits(double t, double unit) {
    return std::floor(t * (1 / unit) + 1e-9);
}

// The parts of t; `shown` splits hours, minutes and seconds as the getters
// and the text show them, otherwise exactly, as the setters take them.
Parts Split(double t, bool shown = false) {
    // An endless time splits through integers that overflow: each part is
    // -2^31 brought up by its range once, the year counted from 1970.
    if (std::isinf(t)) {
        constexpr double kLow = -2147483648.0;
        return {kLow + 1970, 0, kLow + 1, kLow + 24, kLow + 60, kLow + 60, kLow + 1000, kLow + 7};
    }
    double day = Day(t);
    // Days this far out no longer fit the calendar's integers.
    if (std::fabs(day) > 1e15) return {NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN};
    Civil c = CivilFromDays(day);
    // The player counts years from 1970 in 32 bits: past that range the year
    // reads as the one -2^31 years from 1970, and the day is counted from its
    // first of January (before it, as a date of January below 1).
    if (c.year - 1970 < -2147483648.0 || c.year - 1970 > 2147483647.0) {
        int64_t year = INT64_C(-2147483648) + 1970;
        int64_t start = DaysFromCivil(year, 1, 1);
        double inYear = day - static_cast<double>(start);
        c = {static_cast<double>(year), 0, inYear + 1};
        for (int m = 11; m > 0; --m) {
            double monthStart = static_cast<double>(DaysFromCivil(year, m + 1, 1) - start);
            if (inYear >= monthStart) {
                c = {static_cast<double>(year), static_cast<double>(m), inYear - monthStart + 1};
                break;
            }
        }
    }
    return {c.year,
            c.month,
            c.date,
            PosMod(shown ? ShownUnits(t, 3600000) : std::floor(t / 3600000), 24),
            PosMod(shown ? ShownUnits(t, 60000) : std::floor(t / 60000), 60),
            PosMod(shown ? ShownUnits(t, 1000) : std::floor(t / 1000), 60),
            PosMod(std::floor(t), 1000),
            PosMod(day + 4, 7)};
}

// The year as the player takes it: a 32-bit integer, with what does not
// fit (NaN too) as -2^31.
double YearNumber(double y) {
    return PlayerInt(y);
}

double MakeDay(double year, double month, double date) {
    if (!std::isfinite(year) || !std::isfinite(month) || std::isnan(date)) return NAN;
    double y = std::trunc(year), m = std::trunc(month);
    double ym = y + std::floor(m / 12);
    double mn = PosMod(m, 12);
    if (std::fabs(ym) > 4e11) return NAN;
    return static_cast<double>(DaysFromCivil(static_cast<int64_t>(ym), static_cast<int64_t>(mn) + 1, 1)) +
           std::trunc(date) - 1;
}

double MakeTime(double h, double m, double s, double ms) {
    return std::trunc(h) * 3600000 + std::trunc(m) * 60000 + std::trunc(s) * 1000 + std::trunc(ms);
}

// What setters keep: whole milliseconds within 8.64e15 of 1970, else NaN.
double TimeClip(double t) {
    return std::fabs(t) <= 8.64e15 ? std::trunc(t) + 0.0 : NAN;
}

double OffsetMs(Vm& vm, double utc) {
    return vm.clock.zoneOffset ? vm.clock.zoneOffset(utc) * 60000 : 0;
}

double LocalOf(Vm& vm, double utc) {
    return utc + OffsetMs(vm, utc);
}

double UtcOf(Vm& vm, double local) {
    return local - OffsetMs(vm, local - OffsetMs(vm, local));
}

// The time of the constructor's and Date.UTC's parts (a year below 100
// counting from 1900); NaN when fewer than two are given.
double TimeOfParts(Vm& vm, Args& a) {
    if (a.size() < 2) return NAN;
    double n[7] = {0, 0, 1, 0, 0, 0, 0};
    for (size_t i = 0; i < 7 && i < a.size(); ++i)
        n[i] = vm.ToNumber(a[i]);
    double year = YearNumber(n[0]);
    if (year < 100 && year != -2147483648.0) year += 1900;
    return MakeDay(year, n[1], n[2]) * kMsPerDay + MakeTime(n[3], n[4], n[5], n[6]);
}

std::string TimeText(Vm& vm, double t) {
    if (!std::isfinite(t)) return "Invalid Date";
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    double offset = OffsetMs(vm, t) / 60000;
    Parts p = Split(t + offset * 60000, true);
    if (std::isnan(p.year)) return "Invalid Date";
    int zone = static_cast<int>(std::fabs(offset));
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %.0f",
                  kDays[static_cast<int>(p.day)], kMonths[static_cast<int>(p.month)],
                  static_cast<int>(p.date), static_cast<int>(p.hours), static_cast<int>(p.minutes),
                  static_cast<int>(p.seconds), offset < 0 ? '-' : '+', zone / 60, zone % 60, p.year);
    return buf;
}

// Which part a getter reads.
enum Part { kYear, kMonth, kDate, kHours, kMinutes, kSeconds, kMs, kDay };

double PartOf(const Parts& p, Part which) {
    switch (which) {
    case kYear:
        return p.year;
    case kMonth:
        return p.month;
    case kDate:
        return p.date;
    case kHours:
        return p.hours;
    case kMinutes:
        return p.minutes;
    case kSeconds:
        return p.seconds;
    case kMs:
        return p.ms;
    default:
        return p.day;
    }
}

// Makes an object the date that Date's arguments give.
void MakeDate(Vm& vm, Object* o, Args& a) {
    double t;
    if (a.empty() || a[0].IsUndefined())
        t = vm.clock.now ? vm.clock.now() : 0;
    else if (a.size() == 1)
        t = vm.ToNumber(a[0]);
    else
        t = UtcOf(vm, TimeOfParts(vm, a));
    o->className = "Date";
    o->native = true;
    o->primitive = Value(t);
}

} // namespace

void Vm::InstallDateClass() {
    dateProto = New<Object>(objectProto);
    Function* ctor = AddClass(
        "Date", dateProto,
        // Date() called as a function: the time now as text.
        [](Vm& vm, Value, Args&) { return Value(TimeText(vm, vm.clock.now ? vm.clock.now() : 0)); },
        [](Vm& vm, Value, Args& a) {
            Object* d = vm.New<Object>(vm.dateProto);
            MakeDate(vm, d, a);
            return Value(d);
        });
    ctor->nativeInit = [](Vm& vm, Value self, Args& a) {
        if (self.IsObject() && !vm.IsNative(self.o)) MakeDate(vm, self.o, a);
        return self;
    };
    AddMethod(ctor, "UTC", [](Vm& vm, Value, Args& a) {
        double t = TimeOfParts(vm, a);
        return a.size() < 2 ? Value() : Value(t);
    });

    auto method = [&](const char* name, std::function<Value(Vm&, DateView&, Args&)> fn) {
        AddMethod(dateProto, name, [fn](Vm& vm, Value self, Args& a) {
            std::optional<DateView> d = AsDate(self);
            return d ? fn(vm, *d, a) : Value();
        });
    };
    method("getTime", [](Vm&, DateView& d, Args&) { return Value(d.time); });
    method("valueOf", [](Vm&, DateView& d, Args&) { return Value(d.time); });
    method("toString", [](Vm& vm, DateView& d, Args&) { return Value(TimeText(vm, d.time)); });
    method("getTimezoneOffset", [](Vm& vm, DateView& d, Args&) {
        if (std::isnan(d.time)) return Value(NAN);
        return Value((d.time - LocalOf(vm, d.time)) / 60000);
    });
    method("setTime", [](Vm& vm, DateView& d, Args& a) {
        d.time = a.empty() ? NAN : TimeClip(vm.ToNumber(a[0]));
        return Value(d.time);
    });

    struct Getter {
        const char* local;
        const char* utc;
        Part part;
        double bias; // getYear counts from 1900
    };
    for (Getter g : {Getter{"getFullYear", "getUTCFullYear", kYear, 0},
                     {"getYear", "getUTCYear", kYear, -1900},
                     {"getMonth", "getUTCMonth", kMonth, 0},
                     {"getDate", "getUTCDate", kDate, 0},
                     {"getDay", "getUTCDay", kDay, 0},
                     {"getHours", "getUTCHours", kHours, 0},
                     {"getMinutes", "getUTCMinutes", kMinutes, 0},
                     {"getSeconds", "getUTCSeconds", kSeconds, 0},
                     {"getMilliseconds", "getUTCMilliseconds", kMs, 0}}) {
        for (bool utc : {false, true})
            method(utc ? g.utc : g.local, [g, utc](Vm& vm, DateView& d, Args&) {
                if (std::isnan(d.time)) return Value(NAN);
                return Value(PartOf(Split(utc ? d.time : LocalOf(vm, d.time), true), g.part) + g.bias);
            });
    }

    // Setters: the parts given replace those of the date (in local time or
    // UTC), the rest stay; an invalid date stays invalid.
    struct Setter {
        const char* local;
        const char* utc;
        Part first;
        int count; // parts it may take
    };
    for (Setter s : {Setter{"setFullYear", "setUTCFullYear", kYear, 3},
                     {"setYear", nullptr, kYear, 3},
                     {"setMonth", "setUTCMonth", kMonth, 2},
                     {"setDate", "setUTCDate", kDate, 1},
                     {"setHours", "setUTCHours", kHours, 4},
                     {"setMinutes", "setUTCMinutes", kMinutes, 3},
                     {"setSeconds", "setUTCSeconds", kSeconds, 2},
                     {"setMilliseconds", "setUTCMilliseconds", kMs, 1}}) {
        bool twoDigitYears = s.utc == nullptr;
        for (bool utc : {false, true}) {
            const char* name = utc ? s.utc : s.local;
            if (!name) continue;
            method(name, [s, utc, twoDigitYears](Vm& vm, DateView& d, Args& a) {
                // A date that is not a time (NaN or endless) gets none from a setter.
                if (!std::isfinite(d.time)) {
                    d.time = NAN;
                    return Value(NAN);
                }
                double t = utc ? d.time : LocalOf(vm, d.time);
                Parts p = Split(t);
                double parts[7] = {p.year, p.month, p.date, p.hours, p.minutes, p.seconds, p.ms};
                // setMinutes takes its parts as integers, so that NaN and
                // what does not fit are -2^31 minutes, seconds or milliseconds.
                bool integers = s.first == kMinutes;
                for (int i = 0; i < s.count; ++i) {
                    if (integers && (i == 0 || static_cast<size_t>(i) < a.size())) {
                        parts[s.first + i] =
                            PlayerInt(i < static_cast<int>(a.size()) ? vm.ToNumber(a[i]) : NAN);
                        continue;
                    }
                    if (static_cast<size_t>(i) >= a.size()) {
                        // A month left out is January; any other part left out
                        // makes the date invalid when it is the first.
                        if (i == 0) parts[s.first] = s.first == kMonth ? 0 : NAN;
                        break;
                    }
                    double n = vm.ToNumber(a[i]);
                    // setMonth alone takes a month that is NaN as January.
                    if (i == 0 && s.first == kMonth && std::isnan(n)) n = 0;
                    if (s.first + i == kYear) {
                        n = std::isnan(n) ? NAN : YearNumber(n);
                        if (twoDigitYears && n >= 0 && n <= 99) n += 1900;
                    }
                    parts[s.first + i] = n;
                }
                double local = MakeDay(parts[0], parts[1], parts[2]) * kMsPerDay +
                               MakeTime(parts[3], parts[4], parts[5], parts[6]);
                d.time = TimeClip(utc ? local : UtcOf(vm, local));
                return Value(d.time);
            });
        }
    }
}

} // namespace movie::script
