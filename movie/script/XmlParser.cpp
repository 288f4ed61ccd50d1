#include "movie/script/XmlParser.h"

#include "movie/Limits.h"
#include "movie/script/Value.h"

#include <algorithm>

namespace movie::script {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool StartsWith(std::string_view s, size_t at, std::string_view what) {
    return s.substr(at, what.size()) == what;
}

// &lt; &gt; &amp; &quot; &apos; and numeric references; anything else stays as written.
std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        // References are short: the semicolon is looked for nearby only.
        size_t end = s[i] == '&' ? s.substr(i + 1, 10).find(';') : std::string_view::npos;
        if (end == std::string_view::npos) {
            out += s[i];
            continue;
        }
        end += i + 1;
        std::string_view name = s.substr(i + 1, end - i - 1);
        static constexpr std::pair<std::string_view, char> kNamed[] = {
            {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
        bool done = false;
        for (auto [n, c] : kNamed)
            if (name == n) {
                out += c;
                done = true;
            }
        if (!done && name.size() > 1 && name[0] == '#') {
            bool hex = name[1] == 'x' || name[1] == 'X';
            std::string_view digits = name.substr(hex ? 2 : 1);
            long code = 0;
            bool ok = !digits.empty();
            for (char c : digits) {
                int d = c >= '0' && c <= '9'          ? c - '0'
                        : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
                if (d < 0 || code > 0xFFFF) ok = false;
                if (ok) code = code * (hex ? 16 : 10) + d;
            }
            if (ok && code > 0 && code <= 0xFFFF) {
                AppendUtf8(out, static_cast<int>(code));
                done = true;
            }
        }
        if (done)
            i = end;
        else
            out += '&';
    }
    return out;
}

class Parser {
  public:
    Parser(std::string_view s, bool ignoreWhite) : s_(s), ignoreWhite_(ignoreWhite) {}

    XmlParsed Run() {
        while (at_ < s_.size() && out_.status == kXmlOk)
            if (s_[at_] == '<')
                Markup();
            else
                Text();
        if (out_.status == kXmlOk && !open_.empty()) out_.status = kXmlUnclosed;
        return std::move(out_);
    }

  private:
    void Fail(int status) { out_.status = status; }

    bool Add(XmlParsed::Node node) {
        if (out_.nodes.size() >= Limits::kMaxXmlNodes) {
            Fail(kXmlOutOfMemory);
            return false;
        }
        node.parent = open_.empty() ? -1 : open_.back();
        out_.nodes.push_back(std::move(node));
        return true;
    }

    void AddText(std::string text) {
        XmlParsed::Node n;
        n.element = false;
        n.text = std::move(text);
        Add(std::move(n));
    }

    void Text() {
        size_t end = std::min(s_.find('<', at_), s_.size());
        std::string_view raw = s_.substr(at_, end - at_);
        at_ = end;
        bool white = true;
        for (char c : raw)
            white = white && IsSpace(c);
        if (!(ignoreWhite_ && white)) AddText(Unescape(raw));
    }

    // The text from here to the end of `close`, or a failure with `status`.
    std::optional<std::string_view> Through(std::string_view close, int status) {
        size_t end = s_.find(close, at_);
        if (end == std::string_view::npos) {
            Fail(status);
            return std::nullopt;
        }
        std::string_view all = s_.substr(at_, end + close.size() - at_);
        at_ = end + close.size();
        return all;
    }

    void Markup() {
        if (StartsWith(s_, at_, "<!--")) {
            Through("-->", kXmlCommentOpen);
        } else if (StartsWith(s_, at_, "<![CDATA[")) {
            if (auto all = Through("]]>", kXmlCdataOpen))
                AddText(std::string(all->substr(9, all->size() - 12)));
        } else if (StartsWith(s_, at_, "<!")) {
            DocType();
        } else if (StartsWith(s_, at_, "<?")) {
            if (auto all = Through("?>", kXmlDeclarationOpen))
                out_.xmlDecl = out_.xmlDecl.value_or("") + std::string(*all);
        } else if (StartsWith(s_, at_, "</")) {
            EndTag();
        } else {
            StartTag();
        }
    }

    // <!DOCTYPE ...>, whose internal subset in brackets may hold '>'.
    void DocType() {
        int brackets = 0;
        for (size_t i = at_ + 2; i < s_.size(); ++i) {
            if (s_[i] == '[') ++brackets;
            if (s_[i] == ']' && brackets > 0) --brackets;
            if (s_[i] == '>' && brackets == 0) {
                out_.docTypeDecl = std::string(s_.substr(at_, i + 1 - at_));
                at_ = i + 1;
                return;
            }
        }
        Fail(kXmlDocTypeOpen);
    }

    std::string_view Name() {
        size_t start = at_;
        while (at_ < s_.size() && !IsSpace(s_[at_]) && s_[at_] != '>' && s_[at_] != '/' && s_[at_] != '=')
            ++at_;
        return s_.substr(start, at_ - start);
    }

    void SkipSpace() {
        while (at_ < s_.size() && IsSpace(s_[at_]))
            ++at_;
    }

    void EndTag() {
        size_t end = s_.find('>', at_);
        if (end == std::string_view::npos) return Fail(kXmlMalformed);
        std::string_view name = s_.substr(at_ + 2, end - at_ - 2);
        while (!name.empty() && IsSpace(name.back()))
            name.remove_suffix(1);
        at_ = end + 1;
        if (!open_.empty() && out_.nodes[open_.back()].text == name) {
            open_.pop_back();
            return;
        }
        // A start tag left open further out: the innermost one lacks its end.
        for (int i : open_)
            if (out_.nodes[i].text == name) return Fail(kXmlUnclosed);
        Fail(kXmlUnmatched);
    }

    void StartTag() {
        ++at_;
        XmlParsed::Node node;
        node.text = std::string(Name());
        if (node.text.empty()) return Fail(kXmlMalformed);
        for (;;) {
            SkipSpace();
            if (at_ >= s_.size()) return Fail(kXmlMalformed);
            if (s_[at_] == '>' || StartsWith(s_, at_, "/>")) break;
            std::string name(Name());
            SkipSpace();
            if (name.empty() || at_ >= s_.size() || s_[at_] != '=') return Fail(kXmlMalformed);
            ++at_;
            SkipSpace();
            if (at_ >= s_.size() || (s_[at_] != '"' && s_[at_] != '\'')) return Fail(kXmlMalformed);
            char quote = s_[at_++];
            size_t end = s_.find(quote, at_);
            if (end == std::string_view::npos) return Fail(kXmlAttributeOpen);
            std::string value = Unescape(s_.substr(at_, end - at_));
            at_ = end + 1;
            // A name given twice keeps its last value.
            bool again = false;
            for (auto& [n, v] : node.attributes)
                if (n == name) {
                    v = value;
                    again = true;
                }
            if (!again) node.attributes.emplace_back(std::move(name), std::move(value));
        }
        bool empty = s_[at_] == '/';
        at_ += empty ? 2 : 1;
        if (!empty && open_.size() >= static_cast<size_t>(Limits::kMaxXmlNesting))
            return Fail(kXmlOutOfMemory);
        if (!Add(std::move(node))) return;
        if (!empty) open_.push_back(static_cast<int>(out_.nodes.size() - 1));
    }

    std::string_view s_;
    bool ignoreWhite_;
    size_t at_ = 0;
    std::vector<int> open_; // the elements whose end tags are still to come
    XmlParsed out_;
};

} // namespace

XmlParsed ParseXml(std::string_view text, bool ignoreWhite) {
    return Parser(text, ignoreWhite).Run();
}

std::string EscapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace movie::script
