// The global functions: trace, parseInt, parseFloat, escape, timers,
// ASSetPropFlags and the inert calls a saver refuses.
#include "movie/script/Classes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace movie::script {

namespace {

bool Space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int DigitValue(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'z' ? c - 'a' + 10
           : c >= 'A' && c <= 'Z' ? c - 'A' + 10
                                  : 99;
}

// parseFloat as the player reads numbers: digit by digit (so the last bits
// can differ from a correctly rounded reading), a second point skipped and
// ending the exponent's chance, the exponent wrapped to 32 bits.
double ParseFloat(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && Space(s[i]))
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    double whole = 0, fraction = 0, scale = 1;
    bool digits = false, point = false, exponentAllowed = true;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            if (point) {
                scale /= 10;
                fraction += (c - '0') * scale;
            } else {
                whole = whole * 10 + (c - '0');
            }
        } else if (c == '.') {
            if (point) exponentAllowed = false;
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return NAN;
    double v = whole + fraction;
    if (exponentAllowed && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t k = i + 1;
        bool eneg = false;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) eneg = s[k++] == '-';
        uint32_t e = 0;
        bool any = false;
        for (; k < s.size() && s[k] >= '0' && s[k] <= '9'; ++k, any = true)
            e = e * 10 + static_cast<uint32_t>(s[k] - '0');
        if (any) {
            auto exp = static_cast<int32_t>(eneg ? 0u - e : e);
            v *= std::pow(10.0, exp);
        }
    }
    return neg ? -v : v;
}

// parseInt as the player reads it. Without a radix, "0x" at the very start
// means hexadecimal and a whole text of the form [+-]0[0-7]+ octal. A "0x"
// at the start is skipped whatever the radix; a sign before it is dropped
// together with the zero.
double ParseInt(const std::string& s, int radix) {
    size_t i = 0;
    size_t first = !s.empty() && (s[0] == '+' || s[0] == '-') ? 1 : 0;
    bool octal = s.size() > first + 1 && s[first] == '0';
    for (size_t k = first + 1; octal && k < s.size(); ++k)
        octal = s[k] >= '0' && s[k] <= '7';
    auto hexAt = [&](size_t k) {
        return k + 1 < s.size() && s[k] == '0' && (s[k + 1] == 'x' || s[k + 1] == 'X');
    };
    if (hexAt(0)) {
        if (radix == 0) radix = 16;
        i = 2;
    } else if (!s.empty() && (s[0] == '+' || s[0] == '-') && hexAt(1)) {
        i = 2;
        if (radix == 0) radix = 10;
    } else if (radix == 0) {
        radix = octal ? 8 : 10;
    }
    bool neg = false;
    if (i != 2 || hexAt(0)) {
        while (i < s.size() && Space(s[i]))
            ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    }
    double v = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        int d = DigitValue(s[i]);
        if (d >= radix) break;
        v = v * radix + d;
        any = true;
    }
    if (!any) return NAN;
    return neg ? -v : v;
}

} // namespace

std::string UrlEscape(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        }
    }
    return out;
}

std::string UrlUnescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else if (s[i] == '+') {
            out.push_back(' ');
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

void Vm::InstallGlobalFunctions() {
    AddMethod(global, "trace", [](Vm& vm, Value, Args& a) {
        Value v = Arg(a, 0);
        vm.Trace(v.IsUndefined() ? "undefined" : vm.ToString(v));
        return Value();
    });
    // Called with nothing, these judge NaN (not undefined's number).
    AddMethod(global, "isNaN",
              [](Vm& vm, Value, Args& a) { return Value(a.empty() || std::isnan(vm.ToNumber(a[0]))); });
    AddMethod(global, "isFinite",
              [](Vm& vm, Value, Args& a) { return Value(!a.empty() && std::isfinite(vm.ToNumber(a[0]))); });
    AddMethod(global, "parseFloat", [](Vm& vm, Value, Args& a) {
        if (a.empty()) return Value();
        return Value(ParseFloat(vm.ToString(a[0])));
    });
    AddMethod(global, "parseInt", [](Vm& vm, Value, Args& a) {
        if (a.empty()) return Value();
        int radix = a.size() > 1 ? vm.ToInt32(a[1]) : 0;
        if (a.size() > 1 && (radix < 2 || radix > 36)) return Value(NAN);
        return Value(ParseInt(vm.ToString(a[0]), radix));
    });
    AddMethod(global, "escape",
              [](Vm& vm, Value, Args& a) { return Value(UrlEscape(vm.ToString(Arg(a, 0)))); });
    AddMethod(global, "unescape",
              [](Vm& vm, Value, Args& a) { return Value(UrlUnescape(vm.ToString(Arg(a, 0)))); });
    // ASnative(table, index): a function of the player's native tables; an
    // index past a table's end answers NaN once its arguments are read.
    AddMethod(global, "ASnative", [](Vm& vm, Value, Args& a) {
        int table = vm.ToInt32(Arg(a, 0)), index = vm.ToInt32(Arg(a, 1));
        auto it = vm.nativeTables.find(table);
        if (it == vm.nativeTables.end()) return Value();
        auto entry = it->second;
        return Value(static_cast<Object*>(
            vm.NewNative([entry, index](Vm& vm, Value, Args& args) { return entry(vm, index, args); })));
    });
    AddMethod(global, "ASSetPropFlags", [](Vm& vm, Value, Args& a) {
        Value target = Arg(a, 0);
        if (!target.IsObject()) return Value();
        Object* o = target.o;
        Value names = Arg(a, 1);
        int set = vm.ToInt32(Arg(a, 2));
        int clear = a.size() > 3 ? vm.ToInt32(a[3]) : 0;
        // Bits 7, 10, 12, 13 and 14 hide a property from movies older than
        // SWF 6, 7, 8, 9 and 10.
        static constexpr std::pair<int, uint8_t> kVersionBits[] = {
            {0x4000, 10}, {0x2000, 9}, {0x1000, 8}, {0x400, 7}, {0x80, 6}};
        auto apply = [&](Property& p) {
            int all = p.flags;
            for (auto [bit, version] : kVersionBits)
                if (p.versionMask == version) all |= bit;
            all = (all & ~clear) | set;
            p.flags = static_cast<uint8_t>(all & 7);
            p.versionMask = 0;
            for (auto [bit, version] : kVersionBits)
                if (all & bit) {
                    p.versionMask = version;
                    break;
                }
        };
        // null names every property; undefined is the name "undefined" from SWF 7 on.
        if (names.type == Value::Type::Null || (names.IsUndefined() && vm.Version() < 7)) {
            for (auto& s : o->Slots())
                apply(s.prop);
        } else {
            std::vector<std::string> list;
            if (auto* arr = dynamic_cast<Array*>(names.IsObject() ? names.o : nullptr)) {
                for (const Value& v : arr->Elements())
                    list.push_back(vm.ToString(v));
            } else {
                std::string s = vm.ToString(names);
                size_t from = 0;
                for (;;) {
                    size_t p = s.find(',', from);
                    list.push_back(s.substr(from, p == std::string::npos ? std::string::npos : p - from));
                    if (p == std::string::npos) break;
                    from = p + 1;
                }
            }
            for (auto& n : list)
                if (Property* p = Vm::IsProtoName(n) ? vm.ProtoSlot(o) : o->FindOwn(n, vm.Caseless()))
                    apply(*p);
        }
        return Value();
    });
    auto addTimer = [](Vm& vm, Args& a, bool repeat) -> Value {
        Vm::Timer t;
        size_t i = 0;
        if (a.empty()) return Value();
        if (a[0].IsObject() && a[0].o->IsFunction()) {
            t.fn = a[0];
            i = 1;
        } else if (a.size() >= 2 && a[0].IsObject()) {
            t.self = a[0];
            t.method = vm.ToString(a[1]);
            i = 2;
        } else {
            return Value();
        }
        if (i >= a.size() || a[i].IsUndefined()) return Value();
        t.interval = std::max(0.0, vm.ToNumber(a[i]));
        if (std::isnan(t.interval)) t.interval = 0;
        t.args.assign(a.begin() + static_cast<long>(i + 1), a.end());
        t.id = vm.nextTimer++;
        t.due = vm.now + t.interval;
        t.repeat = repeat;
        if (vm.timers.size() >= 10000) return Value();
        vm.timers.push_back(std::move(t));
        return Value(static_cast<double>(vm.timers.back().id));
    };
    AddMethod(global, "setInterval", [addTimer](Vm& vm, Value, Args& a) { return addTimer(vm, a, true); });
    AddMethod(global, "setTimeout", [addTimer](Vm& vm, Value, Args& a) { return addTimer(vm, a, false); });
    auto clear = [](Vm& vm, Value, Args& a) {
        int id = vm.ToInt32(Arg(a, 0));
        vm.timers.erase(std::remove_if(vm.timers.begin(), vm.timers.end(),
                                       [id](const Vm::Timer& t) { return t.id == id; }),
                        vm.timers.end());
        return Value();
    };
    // One function under both names.
    AddMethod(global, "clearInterval", clear);
    global->SetOwn("clearTimeout", Get(global, "clearInterval"), kDontEnum);
    // SWF 4 has neither name.
    global->SetOwn("NaN", Value(NAN), kDontEnum).versionMask = 5;
    global->SetOwn("Infinity", Value(INFINITY), kDontEnum).versionMask = 5;
    // getURL, loadMovie, fscommand and their kind are actions, not globals.
    AddMethod(global, "updateAfterEvent", [](Vm&, Value, Args&) { return Value(); });
}

} // namespace movie::script
