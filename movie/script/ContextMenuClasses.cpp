// ContextMenu and ContextMenuItem: the menu a right click would show. A
// saver shows none, but movies build them: the items and what they hold
// are plain objects, as the player makes them.
#include "movie/script/NativeClasses.h"

namespace movie::script {

namespace {

constexpr const char* kBuiltInItems[] = {"print", "forward_back", "rewind", "loop",
                                         "play",  "quality",      "zoom",   "save"};

Object* NewBuiltInItems(Vm& vm) {
    Object* items = vm.NewObject();
    for (const char* name : kBuiltInItems)
        vm.Set(items, name, Value(true));
    return items;
}

// Makes `o` a menu with the given onSelect handler.
void SetUpMenu(Vm& vm, Object* o, const Value& onSelect) {
    vm.Set(o, "onSelect", onSelect);
    vm.Set(o, "customItems", Value(static_cast<Object*>(vm.NewArray())));
    vm.Set(o, "builtInItems", Value(NewBuiltInItems(vm)));
}

// Makes `o` an item: caption, handler, then separatorBefore, enabled and
// visible (false, true, true when not given).
void SetUpItem(Vm& vm, Object* o, Args& a) {
    vm.Set(o, "caption", Arg(a, 0));
    vm.Set(o, "onSelect", Arg(a, 1));
    const bool defaults[] = {false, true, true};
    const char* names[] = {"separatorBefore", "enabled", "visible"};
    for (size_t i = 0; i < 3; ++i)
        vm.Set(o, names[i], a.size() > i + 2 ? Value(vm.ToBool(a[i + 2])) : Value(defaults[i]));
}

} // namespace

void InstallContextMenuClasses(Vm& vm) {
    Object* menuProto = vm.NewObject();
    Function* menu = AddPlainClass(vm, vm.global, "ContextMenu", menuProto,
                                   [](Vm& vm, Object* o, Args& a) { SetUpMenu(vm, o, Arg(a, 0)); });
    AddMethods(vm, menuProto,
               {{"copy",
                 [menu](Vm& vm, Value self, Args&) -> Value {
                     if (!self.IsObject()) return {};
                     Args none;
                     Value copy = vm.Construct(Value(static_cast<Object*>(menu)), none);
                     if (!copy.IsObject()) return {};
                     vm.Set(copy.o, "onSelect", vm.Get(self.o, "onSelect"));
                     Value builtIn = vm.Get(self.o, "builtInItems");
                     Object* items = vm.Get(copy.o, "builtInItems").o;
                     if (builtIn.IsObject() && items)
                         for (const char* name : kBuiltInItems)
                             vm.Set(items, name, vm.Get(builtIn.o, name));
                     // Each custom item is copied too.
                     Value custom = vm.Get(self.o, "customItems");
                     auto* from = custom.IsObject() ? dynamic_cast<Array*>(custom.o) : nullptr;
                     auto* to = dynamic_cast<Array*>(vm.Get(copy.o, "customItems").o);
                     if (from && to)
                         for (const Value& item : from->Elements()) {
                             Value c;
                             if (!item.IsObject() || !vm.CallMethodIfAny(item.o, "copy", {}, &c)) c = item;
                             to->Append(c);
                         }
                     return copy;
                 }},
                {"hideBuiltInItems", [](Vm& vm, Value self, Args&) {
                     Value items = self.IsObject() ? vm.Get(self.o, "builtInItems") : Value();
                     if (items.IsObject())
                         for (const char* name : kBuiltInItems)
                             vm.Set(items.o, name, Value(false));
                     return Value();
                 }}});

    Object* itemProto = vm.NewObject();
    Function* item = AddPlainClass(vm, vm.global, "ContextMenuItem", itemProto, SetUpItem);
    AddMethods(vm, itemProto,
               {{"copy", [item](Vm& vm, Value self, Args&) -> Value {
                     if (!self.IsObject()) return {};
                     Args args;
                     for (const char* name : {"caption", "onSelect", "separatorBefore", "enabled", "visible"})
                         args.push_back(vm.Get(self.o, name));
                     return vm.Construct(Value(static_cast<Object*>(item)), args);
                 }}});
}

} // namespace movie::script
