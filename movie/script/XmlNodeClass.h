// The XMLNode class: nodes of a document tree (elements and texts) that
// scripts walk and change. A node is a script object with the node kept
// inside it, so a class of a script's that extends XMLNode (or XML) makes
// its own objects nodes with super(). The tree never holds a cycle, and
// nothing that walks it recurses.
#pragma once

#include "movie/script/Vm.h"

namespace movie::script {

struct XmlNode : Object::Inside {
    int type = 1;           // 1 an element, 3 a text
    Value name;             // an element's; null for a text and a document
    Value value;            // a text's; null for an element
    Object* self = nullptr; // the object this is inside
    Object* parent = nullptr;
    std::vector<Object*> children;
    size_t index = 0; // place among the parent's children
    Object* attributes = nullptr;
    Array* childNodes = nullptr; // made when first read, then kept in step

    void Trace(std::vector<Object*>& out) override;
};

// The node inside a value; null for anything else.
XmlNode* XmlNodeOf(const Value& v);
// Makes o a node of the type, named (an element) or holding (a text) `v`.
XmlNode& MakeXmlNode(Vm& vm, Object* o, int type, const Value& v);
// A new node made of `proto`.
Object* NewXmlNode(Vm& vm, Object* proto, int type, const Value& v);
// Takes every child out of the node.
void RemoveXmlChildren(Vm& vm, Object* node);
// Puts `child` (a node of no parent) last among the node's children.
void AppendXmlChild(Vm& vm, Object* node, Object* child);
// The node's text: its tree as XML.
std::string XmlText(Vm& vm, Object* node);

// Puts XMLNode into `global`, and then XML, whose prototype is a node.
void InstallXmlNodeClass(Vm& vm, Object* global);
void InstallXmlClass(Vm& vm, Object* global);

} // namespace movie::script
