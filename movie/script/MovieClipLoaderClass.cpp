// MovieClipLoader: loads movies into clips and tells its listeners how it
// goes. A saver plays its one movie: a load is as inert as loadMovie's,
// logged once, and no listener hears of one.
#include "movie/script/NativeClasses.h"

namespace movie::script {

void InstallMovieClipLoaderClass(Vm& vm) {
    Object* proto = vm.NewObject();
    AddNativeClass(vm, vm.global, "MovieClipLoader", proto);
    AddMethods(vm, proto,
               {{"loadClip",
                 [](Vm& vm, Value, Args& a) {
                     LogInert(vm, "loadMovie " + vm.ToString(Arg(a, 0)));
                     return Value(false);
                 }},
                // The progress of a clip already here: all of it.
                {"getProgress",
                 [](Vm& vm, Value, Args& a) -> Value {
                     Value clip = Arg(a, 0);
                     if (!clip.IsObject() || !vm.GetHost() || !vm.GetHost()->IsClip(clip.o)) return {};
                     Object* progress = vm.NewObject();
                     for (auto [name, method] :
                          {std::pair{"bytesLoaded", "getBytesLoaded"}, {"bytesTotal", "getBytesTotal"}}) {
                         Value n;
                         vm.CallMethodIfAny(clip.o, method, {}, &n);
                         vm.Set(progress, name, n);
                     }
                     return Value(progress);
                 }},
                {"unloadClip", [](Vm& vm, Value, Args&) {
                     LogInert(vm, "unloadMovie");
                     return Value(false);
                 }}});
}

} // namespace movie::script
