// XML text as the player's XML class reads it: elements, attributes and
// text (CDATA sections become text, comments are dropped), the XML
// declaration and DOCTYPE kept aside, and the player's status codes for
// text that is not well formed. Lenient as the player is: a parse that
// fails keeps what it read up to the fault.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace movie::script {

// The player's status codes.
enum XmlStatus : int {
    kXmlOk = 0,
    kXmlCdataOpen = -2,       // a CDATA section without its end
    kXmlDeclarationOpen = -3, // an XML declaration without its end
    kXmlDocTypeOpen = -4,     // a DOCTYPE declaration without its end
    kXmlCommentOpen = -5,     // a comment without its end
    kXmlMalformed = -6,       // an element that is not well formed
    kXmlOutOfMemory = -7,     // nested too deep, or too many nodes
    kXmlAttributeOpen = -8,   // an attribute value without its closing quote
    kXmlUnclosed = -9,        // a start tag without its end tag
    kXmlUnmatched = -10,      // an end tag without its start tag
};

struct XmlParsed {
    struct Node {
        int parent = -1; // index of the enclosing element, -1 at the top
        bool element = true;
        std::string text; // an element's name, a text's value (entities decoded)
        std::vector<std::pair<std::string, std::string>> attributes;
    };
    std::vector<Node> nodes; // in document order
    std::optional<std::string> xmlDecl, docTypeDecl;
    int status = kXmlOk;
};

// ignoreWhite drops the texts that are only white space.
XmlParsed ParseXml(std::string_view text, bool ignoreWhite);

// Text as the player writes it into XML: & < > " ' as entities.
std::string EscapeXml(std::string_view text);

} // namespace movie::script
