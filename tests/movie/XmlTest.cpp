// The XML and XMLNode classes called from C++: what documents parse into,
// the status of text that is not well formed, editing the tree, and trees
// too deep or too large for a movie to be trusted with.
#include "movie/Limits.h"
#include "movie/script/Value.h"
#include "movie/script/Vm.h"
#include "movie/script/XmlParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using movie::script::Args;
using movie::script::Value;
using movie::script::Vm;

struct Script {
    Vm vm{8};
    Value New(const char* cls, Args args) { return vm.Construct(vm.GetValue(Value(vm.global), cls), args); }
    Value Xml(const std::string& text) { return New("XML", {Value(text)}); }
    Value Call(const Value& self, const char* method, Args args = {}) {
        return vm.Call(vm.GetValue(self, method), self, args);
    }
    Value Get(const Value& v, const char* path) {
        Value at = v;
        std::string p = path;
        for (size_t start = 0; start <= p.size();) {
            size_t dot = std::min(p.find('.', start), p.size());
            at = vm.GetValue(at, p.substr(start, dot - start));
            start = dot + 1;
        }
        return at;
    }
    std::string Text(const Value& v) { return vm.ToString(v); }
    int Status(const Value& doc) { return static_cast<int>(vm.ToNumber(vm.GetValue(doc, "status"))); }
};

TEST(Xml, ParsesElementsTextsAndDeclarations) {
    Script s;
    Value doc = s.Xml("<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x \"y\">]><!-- gone -->"
                      "<r a=\"1 &amp; 2\" b='q'>t &lt;x&gt;<![CDATA[<raw>]]><e/></r>");
    EXPECT_EQ(s.Status(doc), 0);
    EXPECT_EQ(s.Text(s.Get(doc, "xmlDecl")), "<?xml version=\"1.0\"?>");
    EXPECT_EQ(s.Text(s.Get(doc, "docTypeDecl")), "<!DOCTYPE r [<!ENTITY x \"y\">]>");
    Value r = s.Get(doc, "firstChild");
    EXPECT_EQ(s.Text(s.Get(r, "nodeName")), "r");
    EXPECT_EQ(s.Text(s.Get(r, "attributes.a")), "1 & 2");
    EXPECT_EQ(s.vm.ToNumber(s.Get(r, "childNodes.length")), 3);
    EXPECT_EQ(s.Text(s.Get(r, "firstChild.nodeValue")), "t <x>");
    EXPECT_EQ(s.vm.ToNumber(s.Get(r, "firstChild.nodeType")), 3);
    EXPECT_EQ(s.Text(s.Get(r, "firstChild.nextSibling.nodeValue")), "<raw>");
    EXPECT_EQ(s.Text(s.Get(r, "lastChild.parentNode.nodeName")), "r");
    EXPECT_TRUE(s.Get(r, "lastChild.nextSibling").type == Value::Type::Null);
    // Written back: declarations first, the comment gone, texts and attributes escaped.
    EXPECT_EQ(s.Text(doc), "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x \"y\">]>"
                           "<r a=\"1 &amp; 2\" b=\"q\">t &lt;x&gt;&lt;raw&gt;<e /></r>");

    // ignoreWhite drops texts that are only white space, and only those.
    Value spaced = s.New("XML", {});
    s.vm.Set(spaced.o, "ignoreWhite", Value(true));
    s.Call(spaced, "parseXML", {"<a>\n  <b> x </b>\n</a>"});
    EXPECT_EQ(s.Text(spaced), "<a><b> x </b></a>");
}

TEST(Xml, ReportsThePlayersStatusAndKeepsWhatItRead) {
    Script s;
    const std::pair<const char*, int> cases[] = {{"<a><![CDATA[x</a>", -2},
                                                 {"<?xml version", -3},
                                                 {"<!DOCTYPE a [ >", -4},
                                                 {"<a><!-- x</a>", -5},
                                                 {"<a b></a>", -6},
                                                 {"<a b=1/>", -6},
                                                 {"<a", -6},
                                                 {"<a b=\"x/>", -8},
                                                 {"<a><b></a>", -9},
                                                 {"<a>", -9},
                                                 {"</a>", -10},
                                                 {"<a></b>", -10},
                                                 {"<a/>text", 0},
                                                 {"", 0}};
    for (auto [text, status] : cases)
        EXPECT_EQ(movie::script::ParseXml(text, false).status, status) << text;
    Value doc = s.Xml("<a>one<b>two");
    EXPECT_EQ(s.Status(doc), -9);
    EXPECT_EQ(s.Text(doc), "<a>one<b>two</b></a>");
    // Parsing again replaces the tree.
    s.Call(doc, "parseXML", {"<c/>"});
    EXPECT_EQ(s.Status(doc), 0);
    EXPECT_EQ(s.Text(doc), "<c />");
}

TEST(Xml, NodesMoveBetweenParentsButNeverIntoThemselves) {
    Script s;
    Value doc = s.Xml("<a><b/><c/></a>");
    Value a = s.Get(doc, "firstChild"), b = s.Get(a, "firstChild"), c = s.Get(a, "lastChild");
    Value kids = s.Get(a, "childNodes"); // the array follows the tree
    s.Call(a, "insertBefore", {c, b});
    EXPECT_EQ(s.Text(a), "<a><c /><b /></a>");
    EXPECT_EQ(s.Text(kids), "<c />,<b />");
    Value d = s.Call(doc, "createElement", {"d"});
    s.Call(d, "appendChild", {s.Call(doc, "createTextNode", {"it's"})});
    s.Call(b, "appendChild", {d});
    EXPECT_EQ(s.Text(a), "<a><c /><b><d>it&apos;s</d></b></a>");
    // a into its own grandchild, or into itself: refused.
    s.Call(d, "appendChild", {a});
    s.Call(a, "appendChild", {a});
    EXPECT_EQ(s.Text(s.Get(d, "parentNode.parentNode.nodeName")), "a");
    EXPECT_EQ(s.Text(s.Get(a, "parentNode")), s.Text(doc));
    Value copy = s.Call(a, "cloneNode", {true});
    s.Call(b, "removeNode");
    EXPECT_EQ(s.Text(a), "<a><c /></a>");
    EXPECT_EQ(s.Text(copy), "<a><c /><b><d>it&apos;s</d></b></a>");
    EXPECT_TRUE(s.Get(copy, "parentNode").type == Value::Type::Null);
    EXPECT_EQ(s.Text(s.Call(a, "cloneNode", {false})), "<a />");
    EXPECT_EQ(s.Text(kids), "<c />");
}

TEST(Xml, DeepAndLargeDocumentsStayBounded) {
    Script s;
    std::string deep;
    for (int i = 0; i <= movie::Limits::kMaxXmlNesting; ++i)
        deep += "<a>";
    Value doc = s.Xml(deep);
    EXPECT_EQ(s.Status(doc), -7);
    // A chain far deeper, built node by node from the inside out, writes out
    // and copies without recursing.
    Value top = s.Call(doc, "createElement", {"n"});
    for (int i = 0; i < 50000; ++i) {
        Value outer = s.Call(doc, "createElement", {"n"});
        s.Call(outer, "appendChild", {top});
        top = outer;
    }
    std::string text = s.Text(s.Call(top, "cloneNode", {true}));
    EXPECT_EQ(text.size(), 50000 * 7 + 5u);
    EXPECT_EQ(text.find("<n />"), 50000 * 3u);
    // The collector keeps the whole tree of a node it keeps.
    s.vm.global->SetOwn("kept", top);
    s.vm.Collect({});
    EXPECT_EQ(s.Text(top).size(), text.size());
    // A plain object a subclass's super() makes a document stays that document.
    Value obj(s.vm.NewObject());
    s.vm.Set(obj.o, "__proto__", s.Get(Value(s.vm.global), "XML.prototype"));
    auto* xml = static_cast<movie::script::Function*>(s.vm.GetValue(Value(s.vm.global), "XML").o);
    Args first{Value("<x/>")}, second{Value("<y/>")};
    xml->nativeInit(s.vm, obj, first);
    xml->nativeInit(s.vm, obj, second);
    EXPECT_EQ(s.Text(s.Get(obj, "firstChild.nodeName")), "x");
}

} // namespace
