// PrintJob: a saver has no printer to offer, so a job never starts and
// takes no pages.
#include "movie/script/NativeClasses.h"

namespace movie::script {

void InstallPrintJobClass(Vm& vm) {
    Object* proto = vm.NewObject();
    AddNativeClass(vm, vm.global, "PrintJob", proto);
    auto refused = [](Vm& vm, Value, Args&) {
        LogInert(vm, "PrintJob");
        return Value(false);
    };
    AddMethods(vm, proto, {{"start", refused}, {"addPage", refused}, {"send", [](Vm&, Value, Args&) {
                                                                          return Value();
                                                                      }}});
}

} // namespace movie::script
