// Math: constants and functions.
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
    auto unary = [&](const char* name, double (*fn)(double)) {
        AddMethod(math, name,
                  [fn](Vm& vm, Value, Args& a) { return Value(a.empty() ? NAN : fn(vm.ToNumber(a[0]))); });
    };
    unary("abs", [](double x) { return std::fabs(x); });
    unary("acos", [](double x) { return std::acos(x); });
    unary("asin", [](double x) { return std::asin(x); });
    unary("atan", [](double x) { return std::atan(x); });
    unary("ceil", [](double x) { return std::ceil(x); });
    unary("cos", [](double x) { return std::cos(x); });
    unary("exp", [](double x) { return std::exp(x); });
    unary("floor", [](double x) { return std::floor(x); });
    unary("log", [](double x) { return std::log(x); });
    unary("round", [](double x) { return std::floor(x + 0.5); });
    unary("sin", [](double x) { return std::sin(x); });
    unary("sqrt", [](double x) { return std::sqrt(x); });
    unary("tan", [](double x) { return std::tan(x); });
    AddMethod(math, "atan2", [](Vm& vm, Value, Args& a) {
        return Value(std::atan2(vm.ToNumber(Arg(a, 0)), vm.ToNumber(Arg(a, 1))));
    });
    AddMethod(math, "pow", [](Vm& vm, Value, Args& a) {
        return Value(std::pow(vm.ToNumber(Arg(a, 0)), vm.ToNumber(Arg(a, 1))));
    });
    // min and max take two numbers; a missing second one is undefined.
    AddMethod(math, "min", [](Vm& vm, Value, Args& a) {
        if (a.empty()) return Value(INFINITY);
        double x = vm.ToNumber(a[0]), y = vm.ToNumber(Arg(a, 1));
        return Value(std::isnan(x) || std::isnan(y) ? NAN : std::min(x, y));
    });
    AddMethod(math, "max", [](Vm& vm, Value, Args& a) {
        if (a.empty()) return Value(-INFINITY);
        double x = vm.ToNumber(a[0]), y = vm.ToNumber(Arg(a, 1));
        return Value(std::isnan(x) || std::isnan(y) ? NAN : std::max(x, y));
    });
    AddMethod(math, "random", [](Vm&, Value, Args&) {
        return Value(std::uniform_real_distribution<double>(0, 1)(MathRng()));
    });
}

} // namespace movie::script
