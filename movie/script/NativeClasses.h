// Classes whose objects carry a native inside (a sound, a connection, a
// loader, a print job): a script can neither fake one by prototype nor make
// one object two natives. A saver has no network, no files, no printer and
// no other programs: what they would reach is inert, logged once.
#pragma once

#include "movie/script/Classes.h"

#include <functional>
#include <initializer_list>
#include <utility>

namespace movie::script {

// What a class does to an object it makes its own (a new one, or the plain
// `this` a subclass's super() hands it).
using ClassSetup = std::function<void(Vm&, Object*, Args&)>;

// Makes o an object of the native class `name`; false, and o left as it is,
// when a native class made it its own already.
bool MakeNative(Object* o, const std::string& name);

// Installs under `holder` a class whose `new` makes a native object, set up
// by `setup`, and whose super() makes a plain `this` one.
Function* AddNativeClass(Vm& vm, Object* holder, const std::string& name, Object* proto,
                         ClassSetup setup = {});
// super() of the class gives back `this` (most give nothing).
void SuperGivesThis(Function* ctor);
// Installs under `holder` a class whose objects are plain ones, set up by
// `setup` (the classes the player writes in script).
Function* AddPlainClass(Vm& vm, Object* holder, const std::string& name, Object* proto,
                        ClassSetup setup = {});
// Adds methods to an object, hidden from enumeration, in the order given;
// `flags` are added to kDontEnum.
void AddMethods(Vm& vm, Object* o, std::initializer_list<std::pair<const char*, Native>> methods,
                uint8_t flags = 0);
// The prototype of an object may no longer be changed by scripts (until
// ASSetPropFlags lifts the flag): the player's singletons, colours.
void FixProto(Vm& vm, Object* o);
// Notes once that a script asked for something outside the movie.
void LogInert(Vm& vm, const std::string& what);

void InstallLoadVarsClass(Vm& vm);
void InstallConnectionClasses(Vm& vm);
void InstallMovieClipLoaderClass(Vm& vm);
void InstallSoundClass(Vm& vm);
void InstallPrintJobClass(Vm& vm);
void InstallTextSnapshotClass(Vm& vm);
void InstallContextMenuClasses(Vm& vm);
void InstallProductClass(Vm& vm, Object* system);

} // namespace movie::script
