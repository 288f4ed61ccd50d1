// Math: constants and functions. The functions are the player's native
// table 200 (also reached through ASnative): each converts its first two
// arguments to numbers, whatever it uses of them, and an argument not given
// is NaN rather than undefined converted.
#include "movie/script/Classes.h"

#include <cmath>
#include <numbers>
#include <random>

namespace movie::script {

namespace {

std::mt19937& MathRng() {
    static std::mt19937 rng(4242);
    return rng;
}

constexpr int kMathTable = 200;

// The table's entries in the player's order.
const char* const kMathNames[] = {"abs",  "min",   "max",    "sin",   "cos",  "atan2", "tan",  "exp",  "log",
                                  "sqrt", "round", "random", "floor", "ceil", "atan",  "asin", "acos", "pow"};
constexpr int kMathCount = sizeof kMathNames / sizeof kMathNames[0];

double MathEntry(int index, size_t given, double x, double y) {
    switch (index) {
    case 0:
        return std::fabs(x);
    case 1:
        return given == 0 ? INFINITY : std::isnan(x) || std::isnan(y) ? NAN : std::min(x, y);
    case 2:
        return given == 0 ? -INFINITY : std::isnan(x) || std::isnan(y) ? NAN : std::max(x, y);
    case 3:
        return std::sin(x);
    case 4:
        return std::cos(x);
    case 5:
        return std::atan2(x, y);
    case 6:
        return std::tan(x);
    case 7:
        return std::exp(x);
    case 8:
        return std::log(x);
    case 9:
        return std::sqrt(x);
    case 10:
        return std::floor(x + 0.5);
    case 11:
        return std::uniform_real_distribution<double>(0, 1)(MathRng());
    case 12:
        return std::floor(x);
    case 13:
        return std::ceil(x);
    case 14:
        return std::atan(x);
    case 15:
        return std::asin(x);
    case 16:
        return std::acos(x);
    case 17:
        return std::pow(x, y);
    default:
        return NAN;
    }
}

Value CallMath(Vm& vm, int index, Args& a) {
    double x = a.size() > 0 ? vm.ToNumber(a[0]) : NAN;
    double y = a.size() > 1 ? vm.ToNumber(a[1]) : NAN;
    return Value(MathEntry(index, a.size(), x, y));
}

} // namespace

void Vm::InstallMath() {
    Object* math = NewObject();
    global->SetOwn("Math", Value(math), kDontEnum);
    for (auto [n, v] : {std::pair{"E", std::numbers::e},
                        {"LN10", std::numbers::ln10},
                        {"LN2", std::numbers::ln2},
                        {"LOG10E", std::numbers::log10e},
                        {"LOG2E", std::numbers::log2e},
                        {"PI", std::numbers::pi},
                        {"SQRT1_2", std::numbers::sqrt2 / 2},
                        {"SQRT2", std::numbers::sqrt2}})
        math->SetOwn(n, Value(v), kDontEnum | kDontDelete | kReadOnly);
    for (int i = 0; i < kMathCount; ++i)
        AddMethod(math, kMathNames[i], [i](Vm& vm, Value, Args& a) { return CallMath(vm, i, a); });
    nativeTables[kMathTable] = CallMath;
}

} // namespace movie::script
