// System.Product: another program of the player's maker, to be found,
// fetched or run. From a saver, none is: each answers that it is not there.
#include "movie/script/NativeClasses.h"

namespace movie::script {

void InstallProductClass(Vm& vm, Object* system) {
    Object* proto = vm.NewObject();
    AddPlainClass(vm, system, "Product", proto, [](Vm& vm, Object* o, Args& a) {
        vm.Set(o, "name", Arg(a, 0));
        FixProto(vm, o);
    });
    // Other programs are neither run nor fetched from a saver.
    auto refused = [](const char* what) {
        return [what](Vm& vm, Value, Args&) {
            LogInert(vm, std::string("Product.") + what);
            return Value(false);
        };
    };
    AddMethods(vm, proto,
               {{"isRunning", [](Vm&, Value, Args&) { return Value(false); }},
                {"isInstalled", [](Vm&, Value, Args&) { return Value(false); }},
                {"launch", refused("launch")},
                {"download", refused("download")},
                {"validate", [](Vm&, Value, Args&) { return Value(false); }},
                {"installedVersion", [](Vm&, Value, Args&) { return Value(0); }}});
}

} // namespace movie::script
