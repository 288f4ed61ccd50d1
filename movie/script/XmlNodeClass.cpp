#include "movie/script/XmlNodeClass.h"

#include "movie/script/Classes.h"
#include "movie/script/XmlParser.h"

namespace movie::script {

void XmlNode::Trace(std::vector<Object*>& out) {
    if (parent) out.push_back(parent);
    out.insert(out.end(), children.begin(), children.end());
    if (attributes) out.push_back(attributes);
    if (childNodes) out.push_back(childNodes);
}

XmlNode* XmlNodeOf(const Value& v) {
    return v.IsObject() ? dynamic_cast<XmlNode*>(v.o->inside.get()) : nullptr;
}

XmlNode& MakeXmlNode(Vm& vm, Object* o, int type, const Value& v) {
    auto node = std::make_unique<XmlNode>();
    node->type = type;
    node->name = node->value = Value::Null();
    (type == 1 ? node->name : node->value) = v.IsNullish() ? Value::Null() : Value(vm.ToString(v));
    node->self = o;
    node->attributes = vm.NewObject();
    XmlNode& n = *node;
    o->inside = std::move(node);
    return n;
}

Object* NewXmlNode(Vm& vm, Object* proto, int type, const Value& v) {
    Object* o = vm.New<Object>(proto);
    MakeXmlNode(vm, o, type, v);
    return o;
}

namespace {

XmlNode& NodeOf(Object* o) {
    return *static_cast<XmlNode*>(o->inside.get());
}

// The parent's children changed from `from` on: their places, and the array scripts read.
void Renumber(XmlNode& parent, size_t from) {
    for (size_t i = from; i < parent.children.size(); ++i)
        NodeOf(parent.children[i]).index = i;
    if (parent.childNodes) {
        std::vector<Value> items(parent.children.begin(), parent.children.end());
        parent.childNodes->Assign(items);
    }
}

void Detach(Object* child) {
    XmlNode& c = NodeOf(child);
    if (!c.parent) return;
    XmlNode& p = NodeOf(c.parent);
    p.children.erase(p.children.begin() + static_cast<long>(c.index));
    c.parent = nullptr;
    Renumber(p, c.index);
}

// Whether `node` is `maybe` or lies inside it.
bool Within(Object* node, Object* maybe) {
    for (Object* at = node; at; at = NodeOf(at).parent)
        if (at == maybe) return true;
    return false;
}

void InsertAt(Object* parent, Object* child, size_t at) {
    Detach(child);
    XmlNode& p = NodeOf(parent);
    at = std::min(at, p.children.size());
    p.children.insert(p.children.begin() + static_cast<long>(at), child);
    NodeOf(child).parent = parent;
    Renumber(p, at);
}

Value Sibling(const Value& self, int step) {
    XmlNode* n = XmlNodeOf(self);
    if (!n) return {};
    if (!n->parent) return Value::Null();
    XmlNode& p = NodeOf(n->parent);
    size_t at = n->index + static_cast<size_t>(step);
    return at < p.children.size() ? Value(p.children[at]) : Value::Null();
}

// "a" and "b" of "a:b"; no prefix without a colon.
std::pair<std::string, std::string> PrefixAndLocal(Vm& vm, const XmlNode& n) {
    std::string name = n.name.IsNullish() ? std::string() : vm.ToString(n.name);
    size_t colon = name.find(':');
    if (colon == std::string::npos) return {"", name};
    return {name.substr(0, colon), name.substr(colon + 1)};
}

// The value of the nearest xmlns attribute for the prefix, from the node outwards.
Value NamespaceOf(Vm& vm, Object* node, const std::string& prefix) {
    std::string attr = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
    for (Object* at = node; at; at = NodeOf(at).parent)
        if (Property* p = NodeOf(at).attributes->FindOwn(attr, false)) return Value(vm.ToString(p->value));
    return Value::Null();
}

// The prefix the nearest xmlns attribute binds to the namespace.
Value PrefixOf(Vm& vm, Object* node, const std::string& uri) {
    for (Object* at = node; at; at = NodeOf(at).parent)
        for (const Object::Slot& s : NodeOf(at).attributes->Slots()) {
            if (s.name != "xmlns" && s.name.rfind("xmlns:", 0) != 0) continue;
            if (vm.ToString(s.prop.value) == uri) return Value(s.name.size() > 6 ? s.name.substr(6) : "");
        }
    return Value::Null();
}

Object* CloneOne(Vm& vm, Object* from) {
    XmlNode& f = NodeOf(from);
    Object* o = NewXmlNode(vm, from->proto, f.type, f.type == 1 ? f.name : f.value);
    for (const Object::Slot& s : f.attributes->Slots())
        NodeOf(o).attributes->SetOwn(s.name, s.prop.value, s.prop.flags);
    return o;
}

Object* Clone(Vm& vm, Object* from, bool deep) {
    Object* top = CloneOne(vm, from);
    std::vector<std::pair<Object*, Object*>> work{{from, top}};
    while (deep && !work.empty()) {
        auto [src, dst] = work.back();
        work.pop_back();
        for (Object* c : std::vector<Object*>(NodeOf(src).children)) {
            Object* copy = CloneOne(vm, c);
            AppendXmlChild(vm, dst, copy);
            work.emplace_back(c, copy);
        }
    }
    return top;
}

} // namespace

void RemoveXmlChildren(Vm&, Object* node) {
    XmlNode& n = NodeOf(node);
    for (Object* c : n.children)
        NodeOf(c).parent = nullptr;
    n.children.clear();
    Renumber(n, 0);
}

void AppendXmlChild(Vm&, Object* node, Object* child) {
    XmlNode &n = NodeOf(node), &c = NodeOf(child);
    if (c.parent) return InsertAt(node, child, n.children.size());
    c.parent = node;
    c.index = n.children.size();
    n.children.push_back(child);
    if (n.childNodes) n.childNodes->Append(Value(child));
}

std::string XmlText(Vm& vm, Object* node) {
    std::string out;
    if (NodeOf(node).type == 1 && NodeOf(node).name.IsNullish())
        for (const char* decl : {"xmlDecl", "docTypeDecl"})
            if (Value v = vm.Get(node, decl); !v.IsUndefined()) out += vm.ToString(v);
    // Nodes still to write, and the elements whose end tags are due.
    struct Step {
        Object* node;
        bool close;
    };
    std::vector<Step> work{{node, false}};
    auto pushChildren = [&](Object* o) {
        std::vector<Object*> children = NodeOf(o).children;
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            work.push_back({*it, false});
    };
    while (!work.empty()) {
        Step step = work.back();
        work.pop_back();
        XmlNode& n = NodeOf(step.node);
        if (step.close) {
            out += "</" + vm.ToString(n.name) + ">";
        } else if (n.type != 1) {
            if (!n.value.IsNullish()) out += EscapeXml(vm.ToString(n.value));
        } else if (n.name.IsNullish()) {
            pushChildren(step.node);
        } else {
            out += "<" + vm.ToString(n.name);
            Object* attributes = n.attributes; // the node may change while its values are written
            for (size_t i = 0; i < attributes->Slots().size(); ++i) {
                if (attributes->Slots()[i].prop.flags & kDontEnum) continue;
                std::string name = attributes->Slots()[i].name;
                Value held = attributes->Slots()[i].prop.value;
                std::string value = vm.ToString(held);
                out += " " + name + "=\"" + EscapeXml(value) + "\"";
            }
            XmlNode& again = NodeOf(step.node);
            if (again.children.empty()) {
                out += " />";
            } else {
                out += ">";
                work.push_back({step.node, true});
                pushChildren(step.node);
            }
        }
        if (out.size() > Limits::kMaxStringLength) throw Halt{"string too long"};
    }
    return out;
}

void InstallXmlNodeClass(Vm& vm, Object* global) {
    Object* proto = vm.xmlNodeProto = vm.NewObject();
    Function* ctor = vm.NewNative([](Vm&, Value, Args&) { return Value(); }, "XMLNode");
    // new XMLNode(type, name or text): without both there is no node, only an object.
    ctor->nativeConstruct = [](Vm& vm, Value, Args& a) {
        Object* o = vm.New<Object>(vm.xmlNodeProto);
        if (a.size() >= 2) MakeXmlNode(vm, o, vm.ToInt32(a[0]), a[1]);
        return Value(o);
    };
    ctor->nativeInit = [](Vm& vm, Value self, Args& a) {
        if (self.IsObject() && !Vm::IsNative(self.o) && a.size() >= 2)
            MakeXmlNode(vm, self.o, vm.ToInt32(a[0]), a[1]);
        return self;
    };
    ctor->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete);
    proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), kDontEnum);
    global->SetOwn("XMLNode", Value(static_cast<Object*>(ctor)), kDontEnum);

    // Methods and properties are enumerable, as the player has them; for..in
    // lists the last added first.
    auto method = [&](const char* name, Native fn) {
        proto->SetOwn(name, Value(static_cast<Object*>(vm.NewNative(std::move(fn), name))));
    };
    auto node = [](std::function<Value(Vm&, Object*, XmlNode&, Args&)> fn) {
        return [fn](Vm& vm, Value self, Args& a) {
            XmlNode* n = XmlNodeOf(self);
            return n ? fn(vm, self.o, *n, a) : Value();
        };
    };
    method("cloneNode", node([](Vm& vm, Object* self, XmlNode&, Args& a) {
               return Value(Clone(vm, self, vm.ToBool(Arg(a, 0))));
           }));
    method("removeNode", node([](Vm&, Object* self, XmlNode&, Args&) {
               Detach(self);
               return Value();
           }));
    // insertBefore(child, before): before must be one of the node's children.
    method("insertBefore", node([](Vm&, Object* self, XmlNode&, Args& a) {
               XmlNode *child = XmlNodeOf(Arg(a, 0)), *before = XmlNodeOf(Arg(a, 1));
               if (!child || !before || before->parent != self || child == before ||
                   Within(self, child->self))
                   return Value();
               size_t at = before->index;
               if (child->parent == self && child->index < at) --at;
               InsertAt(self, child->self, at);
               return Value();
           }));
    // A node cannot become a child of itself or of one inside it.
    method("appendChild", node([](Vm&, Object* self, XmlNode& n, Args& a) {
               XmlNode* child = XmlNodeOf(Arg(a, 0));
               if (!child || Within(self, child->self)) return Value();
               InsertAt(self, child->self, n.children.size()); // past the end once it is taken out
               return Value();
           }));
    method("hasChildNodes", node([](Vm&, Object*, XmlNode& n, Args&) { return Value(!n.children.empty()); }));
    method("toString", [](Vm& vm, Value self, Args&) {
        if (!XmlNodeOf(self)) return Value(self.IsObject() ? "[object Object]" : "");
        return Value(XmlText(vm, self.o));
    });
    method("getNamespaceForPrefix", node([](Vm& vm, Object* self, XmlNode&, Args& a) {
               return NamespaceOf(vm, self, vm.ToString(Arg(a, 0)));
           }));
    method("getPrefixForNamespace", node([](Vm& vm, Object* self, XmlNode&, Args& a) {
               return PrefixOf(vm, self, vm.ToString(Arg(a, 0)));
           }));

    auto property = [&](const char* name, Native get, Native set = nullptr) {
        Property& p = proto->SetOwn(name, Value());
        p.virt = true;
        p.getter = vm.NewNative(std::move(get), name);
        p.setter = set ? vm.NewNative(std::move(set), name) : nullptr;
    };
    property("attributes", node([](Vm&, Object*, XmlNode& n, Args&) { return Value(n.attributes); }));
    property("childNodes", node([](Vm& vm, Object*, XmlNode& n, Args&) {
                 if (!n.childNodes) {
                     n.childNodes = vm.NewArray();
                     Renumber(n, n.children.size());
                 }
                 return Value(static_cast<Object*>(n.childNodes));
             }));
    property("firstChild", node([](Vm&, Object*, XmlNode& n, Args&) {
                 return n.children.empty() ? Value::Null() : Value(n.children.front());
             }));
    property("lastChild", node([](Vm&, Object*, XmlNode& n, Args&) {
                 return n.children.empty() ? Value::Null() : Value(n.children.back());
             }));
    property("nextSibling", [](Vm&, Value self, Args&) { return Sibling(self, 1); });
    property("nodeName", node([](Vm&, Object*, XmlNode& n, Args&) { return n.name; }),
             node([](Vm& vm, Object*, XmlNode& n, Args& a) {
                 n.name = Arg(a, 0).IsNullish() ? Value::Null() : Value(vm.ToString(Arg(a, 0)));
                 return Value();
             }));
    property("nodeType", node([](Vm&, Object*, XmlNode& n, Args&) { return Value(n.type); }));
    property("nodeValue", node([](Vm&, Object*, XmlNode& n, Args&) { return n.value; }),
             node([](Vm& vm, Object*, XmlNode& n, Args& a) {
                 n.value = Arg(a, 0).IsNullish() ? Value::Null() : Value(vm.ToString(Arg(a, 0)));
                 return Value();
             }));
    property("parentNode", node([](Vm&, Object*, XmlNode& n, Args&) {
                 return n.parent ? Value(n.parent) : Value::Null();
             }));
    property("previousSibling", [](Vm&, Value self, Args&) { return Sibling(self, -1); });
    property("prefix", node([](Vm& vm, Object*, XmlNode& n, Args&) {
                 return n.type == 1 ? Value(PrefixAndLocal(vm, n).first) : Value::Null();
             }));
    property("localName", node([](Vm& vm, Object*, XmlNode& n, Args&) {
                 return n.type == 1 ? Value(PrefixAndLocal(vm, n).second) : Value::Null();
             }));
    property("namespaceURI", node([](Vm& vm, Object* self, XmlNode& n, Args&) {
                 if (n.type != 1) return Value::Null();
                 Value uri = NamespaceOf(vm, self, PrefixAndLocal(vm, n).first);
                 return uri.IsNullish() ? Value("") : uri;
             }));
}

} // namespace movie::script
