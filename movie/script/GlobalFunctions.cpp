// The global functions: trace, parseInt, parseFloat, escape, timers,
// ASSetPropFlags and the inert calls a saver refuses.
#include "movie/script/Classes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace movie::script {

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
        std::string s = vm.ToString(Arg(a, 0));
        size_t i = 0;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r'))
            ++i;
        size_t k = i;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        bool digits = false;
        while (k < s.size() && s[k] >= '0' && s[k] <= '9')
            ++k, digits = true;
        if (k < s.size() && s[k] == '.') {
            ++k;
            while (k < s.size() && s[k] >= '0' && s[k] <= '9')
                ++k, digits = true;
        }
        if (!digits) return Value(NAN);
        if (k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
            size_t m = k + 1;
            if (m < s.size() && (s[m] == '+' || s[m] == '-')) ++m;
            if (m < s.size() && s[m] >= '0' && s[m] <= '9') {
                k = m;
                while (k < s.size() && s[k] >= '0' && s[k] <= '9')
                    ++k;
            }
        }
        return Value(std::strtod(s.substr(i, k - i).c_str(), nullptr));
    });
    AddMethod(global, "parseInt", [](Vm& vm, Value, Args& a) {
        std::string s = vm.ToString(Arg(a, 0));
        int radix = a.size() > 1 && !a[1].IsUndefined() ? vm.ToInt32(a[1]) : 0;
        size_t i = 0;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r'))
            ++i;
        bool neg = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
        if (radix == 0) {
            if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
                radix = 16;
                i += 2;
            } else if (i + 1 < s.size() && s[i] == '0') {
                radix = 8;
            } else {
                radix = 10;
            }
        } else if (radix == 16 && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
            i += 2;
        }
        if (radix < 2 || radix > 36) return Value(NAN);
        double v = 0;
        bool any = false;
        for (; i < s.size(); ++i) {
            char c = s[i];
            int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'z' ? c - 'a' + 10
                    : c >= 'A' && c <= 'Z' ? c - 'A' + 10
                                           : 99;
            if (d >= radix) break;
            v = v * radix + d;
            any = true;
        }
        if (!any) return Value(NAN);
        return Value(neg ? -v : v);
    });
    AddMethod(global, "escape", [](Vm& vm, Value, Args& a) {
        std::string s = vm.ToString(Arg(a, 0)), out;
        for (unsigned char c : s) {
            if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
                out.push_back(static_cast<char>(c));
            } else {
                char buf[4];
                std::snprintf(buf, sizeof buf, "%%%02X", c);
                out += buf;
            }
        }
        return Value(out);
    });
    AddMethod(global, "unescape", [](Vm& vm, Value, Args& a) {
        std::string s = vm.ToString(Arg(a, 0)), out;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '%' && i + 2 < s.size() + 0 && isxdigit(static_cast<unsigned char>(s[i + 1])) &&
                i + 2 < s.size() && isxdigit(static_cast<unsigned char>(s[i + 2]))) {
                out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
                i += 2;
            } else if (s[i] == '+') {
                out.push_back(' ');
            } else {
                out.push_back(s[i]);
            }
        }
        return Value(out);
    });
    AddMethod(global, "getTimer", [](Vm& vm, Value, Args&) { return Value(std::floor(vm.now)); });
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
                if (Property* p = o->FindOwn(n, vm.Caseless())) apply(*p);
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
        if (i >= a.size()) return Value();
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
    AddMethod(global, "clearInterval", clear);
    AddMethod(global, "clearTimeout", clear);
    global->SetOwn("NaN", Value(NAN), kDontEnum);
    global->SetOwn("Infinity", Value(INFINITY), kDontEnum);
    for (const char* inert : {"fscommand", "getURL", "loadMovie", "loadMovieNum", "loadVariables",
                              "loadVariablesNum", "unloadMovie", "unloadMovieNum", "updateAfterEvent"})
        AddMethod(global, inert, [inert](Vm& vm, Value, Args&) {
            if (vm.GetHost()) vm.GetHost()->Log(inert);
            return Value();
        });
}

} // namespace movie::script
