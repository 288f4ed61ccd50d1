// Fuzz target: XML text as scripts hand it to the XML class. The first byte
// chooses ignoreWhite, the rest is the text. Whatever the text, the parse
// ends with one of the player's status codes and a tree whose nodes come
// after their parents; a document written back parses again to itself.
#include "movie/script/Value.h"
#include "movie/script/Vm.h"
#include "movie/script/XmlParser.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using movie::script::Args;
using movie::script::Value;
using movie::script::Vm;

Value Call(Vm& vm, const Value& self, const char* method, Args args) {
    return vm.Call(vm.GetValue(self, method), self, args);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool ignoreWhite = data[0] & 1;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    movie::script::XmlParsed parsed = movie::script::ParseXml(text, ignoreWhite);
    if (parsed.status > 0 || parsed.status < -10 || parsed.status == -1) __builtin_trap();
    for (size_t i = 0; i < parsed.nodes.size(); ++i) {
        int parent = parsed.nodes[i].parent;
        if (parent >= static_cast<int>(i) || (parent >= 0 && !parsed.nodes[size_t(parent)].element))
            __builtin_trap();
    }

    // The same through the script classes: parsed, written, copied, written again.
    static Vm vm(8);
    Value xml = vm.GetValue(Value(vm.global), "XML");
    Args none;
    Value doc = vm.Construct(xml, none);
    vm.Set(doc.o, "ignoreWhite", Value(ignoreWhite));
    Call(vm, doc, "parseXML", {Value(text)});
    std::string written = vm.ToString(doc);
    // A copy has the tree, not the declarations.
    if (!parsed.xmlDecl && !parsed.docTypeDecl &&
        vm.ToString(Call(vm, doc, "cloneNode", {Value(true)})) != written)
        __builtin_trap();
    if (!ignoreWhite) {
        Args args{Value(written)};
        Value again = vm.Construct(xml, args);
        if (vm.ToNumber(vm.GetValue(again, "status")) != 0 || vm.ToString(again) != written) __builtin_trap();
    }
    static int runs = 0;
    if (++runs % 256 == 0) vm.Collect({});
    return 0;
}
