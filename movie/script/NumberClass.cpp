// Number and Boolean: the classes boxing the primitives.
#include "movie/script/Classes.h"

#include <cmath>
#include <limits>

namespace movie::script {

void Vm::InstallNumberClasses() {
    numberProto = New<Object>(objectProto);
    numberProto->className = "Number";
    numberProto->primitive = Value(0);
    numberProto->hasPrimitive = true;
    numberCtor = AddClass(
        "Number", numberProto,
        [](Vm& vm, Value, Args& a) { return Value(a.empty() ? 0.0 : vm.ToNumber(a[0])); },
        [](Vm& vm, Value, Args& a) { return Value(vm.NewBox(Value(a.empty() ? 0.0 : vm.ToNumber(a[0])))); });
    numberCtor->nativeInit = [](Vm& vm, Value self, Args& a) {
        Value n(a.empty() ? 0.0 : vm.ToNumber(a[0]));
        if (self.IsObject() && !IsNative(self.o)) vm.MakeBox(self.o, n);
        return self;
    };
    for (auto [n, v] : {std::pair{"MAX_VALUE", 1.79769313486231e+308},
                        {"MIN_VALUE", 4.9406564584124654e-324},
                        {"NaN", NAN},
                        {"NEGATIVE_INFINITY", -INFINITY},
                        {"POSITIVE_INFINITY", INFINITY}})
        numberCtor->SetOwn(n, Value(v), kDontEnum | kDontDelete | kReadOnly);
    numberCtor->FindOwn("MAX_VALUE", false)->value = Value(std::numeric_limits<double>::max());
    auto thisNumber = [](Vm& vm, Value self) -> double {
        if (self.IsObject() && self.o->hasPrimitive) return vm.ToNumber(self.o->primitive);
        return vm.ToNumber(self);
    };
    AddMethod(numberProto, "toString", [thisNumber](Vm& vm, Value self, Args& a) {
        double n = thisNumber(vm, self);
        int radix = a.empty() || a[0].IsUndefined() ? 10 : vm.ToInt32(a[0]);
        return Value(Vm::NumberToRadix(n, radix));
    });
    AddMethod(numberProto, "valueOf",
              [thisNumber](Vm& vm, Value self, Args&) { return Value(thisNumber(vm, self)); });
    booleanProto = New<Object>(objectProto);
    booleanProto->className = "Boolean";
    booleanProto->primitive = Value(false);
    booleanProto->hasPrimitive = true;
    booleanCtor = AddClass(
        "Boolean", booleanProto,
        [](Vm& vm, Value, Args& a) { return a.empty() ? Value() : Value(vm.ToBool(a[0])); },
        [](Vm& vm, Value, Args& a) { return Value(vm.NewBox(Value(!a.empty() && vm.ToBool(a[0])))); });
    booleanCtor->nativeInit = [](Vm& vm, Value self, Args& a) {
        Value b(!a.empty() && vm.ToBool(a[0]));
        if (self.IsObject() && !IsNative(self.o)) vm.MakeBox(self.o, b);
        return self;
    };
    auto thisBool = [](Vm& vm, Value self) -> bool {
        if (self.IsObject() && self.o->hasPrimitive) return vm.ToBool(self.o->primitive);
        return vm.ToBool(self);
    };
    AddMethod(booleanProto, "toString",
              [thisBool](Vm& vm, Value self, Args&) { return Value(thisBool(vm, self) ? "true" : "false"); });
    AddMethod(booleanProto, "valueOf",
              [thisBool](Vm& vm, Value self, Args&) { return Value(thisBool(vm, self)); });
}

} // namespace movie::script
