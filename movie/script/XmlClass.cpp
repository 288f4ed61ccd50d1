// The XML class: a document node that parses text into its tree. Loading
// and sending are inert: a saver reaches no network and no files.
#include "movie/script/Classes.h"
#include "movie/script/XmlNodeClass.h"
#include "movie/script/XmlParser.h"

namespace movie::script {

namespace {

// Replaces the document's tree by the one the text holds; sets status, and
// xmlDecl and docTypeDecl when the text has them.
void ParseInto(Vm& vm, Object* doc, const std::string& text) {
    RemoveXmlChildren(vm, doc);
    XmlParsed parsed = ParseXml(text, vm.ToBool(vm.Get(doc, "ignoreWhite")));
    std::vector<Object*> made;
    made.reserve(parsed.nodes.size());
    for (const XmlParsed::Node& p : parsed.nodes) {
        Object* node = NewXmlNode(vm, vm.xmlNodeProto, p.element ? 1 : 3, Value(p.text));
        for (const auto& [name, value] : p.attributes)
            XmlNodeOf(Value(node))->attributes->SetOwn(name, Value(value));
        AppendXmlChild(vm, p.parent < 0 ? doc : made[static_cast<size_t>(p.parent)], node);
        made.push_back(node);
    }
    if (parsed.xmlDecl) vm.Set(doc, "xmlDecl", Value(*parsed.xmlDecl));
    if (parsed.docTypeDecl) vm.Set(doc, "docTypeDecl", Value(*parsed.docTypeDecl));
    vm.Set(doc, "status", Value(parsed.status));
}

// new XML(text): a document, the text parsed into it when given.
void MakeDocument(Vm& vm, Object* o, Args& a) {
    MakeXmlNode(vm, o, 1, Value::Null());
    if (!a.empty() && !a[0].IsUndefined()) ParseInto(vm, o, vm.ToString(a[0]));
}

} // namespace

void InstallXmlClass(Vm& vm, Object* global) {
    // The prototype is itself a document, of no parent and no children.
    Object* proto = vm.xmlProto = NewXmlNode(vm, vm.xmlNodeProto, 1, Value::Null());
    Function* ctor = vm.NewNative([](Vm&, Value, Args&) { return Value(); }, "XML");
    ctor->nativeConstruct = [](Vm& vm, Value, Args& a) {
        Object* o = vm.New<Object>(vm.xmlProto);
        MakeDocument(vm, o, a);
        return Value(o);
    };
    ctor->nativeInit = [](Vm& vm, Value self, Args& a) {
        if (self.IsObject() && !Vm::IsNative(self.o)) MakeDocument(vm, self.o, a);
        return self;
    };
    ctor->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete);
    proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), kDontEnum);
    global->SetOwn("XML", Value(static_cast<Object*>(ctor)), kDontEnum);

    // Enumerable, as the player has them; for..in lists the last added first.
    auto method = [&](const char* name, Native fn) {
        proto->SetOwn(name, Value(static_cast<Object*>(vm.NewNative(std::move(fn), name))));
    };
    method("createElement",
           [](Vm& vm, Value, Args& a) { return Value(NewXmlNode(vm, vm.xmlNodeProto, 1, Arg(a, 0))); });
    method("createTextNode",
           [](Vm& vm, Value, Args& a) { return Value(NewXmlNode(vm, vm.xmlNodeProto, 3, Arg(a, 0))); });
    method("parseXML", [](Vm& vm, Value self, Args& a) {
        if (XmlNodeOf(self)) ParseInto(vm, self.o, vm.ToString(Arg(a, 0)));
        return Value();
    });
    // Nothing is fetched or sent; onLoad never hears of data from outside.
    for (const char* inert : {"load", "send", "sendAndLoad"}) {
        std::string what = std::string("XML.") + inert;
        method(inert, [what](Vm& vm, Value, Args&) {
            if (vm.GetHost()) vm.GetHost()->Log(what);
            return Value(false);
        });
    }
    method("onLoad", [](Vm&, Value, Args&) { return Value(); });
    // onData(text): the text parsed, then onLoad told; no text, a failed load.
    method("onData", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject()) return Value();
        bool got = !Arg(a, 0).IsUndefined();
        if (got) {
            vm.CallMethodIfAny(self.o, "parseXML", {Arg(a, 0)});
            vm.Set(self.o, "loaded", Value(true));
        }
        vm.CallMethodIfAny(self.o, "onLoad", {Value(got)});
        return Value();
    });
    for (const char* quiet : {"getBytesLoaded", "getBytesTotal", "addRequestHeader"})
        method(quiet, [](Vm&, Value, Args&) { return Value(); });
}

} // namespace movie::script
