// Display objects other than clips that scripts reach by name (text fields,
// buttons, videos): each knows its place on the stage until it is taken off.
// Its properties of a clip (_x, _name, _parent, ...) read and change its
// placement; a sprite shown by a button's state has the button as parent.
#pragma once

#include "movie/script/Vm.h"

#include <string>
#include <vector>

namespace movie {
struct DisplayObject;
class ScriptHost;
} // namespace movie

namespace movie::script {

class PlacedObject : public Object {
  public:
    ScriptHost* host = nullptr;
    DisplayObject* display = nullptr; // null once removed
    Object* parent = nullptr;         // the clip whose list holds it
    std::string name;                 // its instance name once removed

    // Its properties of a clip ("_x", "_name", "_parent", "_root", ...), and
    // from SWF 8 on its filters, blend mode and bitmap caching; false for
    // other names.
    bool GetPlacedProperty(Vm& vm, const std::string& key, Value& out);
    bool SetPlacedProperty(Vm& vm, const std::string& key, const Value& v);

    bool GetSpecial(Vm& vm, const std::string& key, Value& out) override {
        return GetPlacedProperty(vm, key, out);
    }
    bool SetSpecial(Vm& vm, const std::string& key, const Value& v) override {
        return SetPlacedProperty(vm, key, v);
    }
    void Trace(std::vector<Object*>& out) override {
        Object::Trace(out);
        if (parent) out.push_back(parent);
    }
};

PlacedObject* AsPlaced(Object* o);

} // namespace movie::script
