#include "movie/text/TextFormat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace movie::text {

std::u32string DecodeUtf8(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b >= 0xC2 && b < 0xE0   ? 1
                          : b >= 0xE0 && b < 0xF0 ? 2
                          : b >= 0xF0 && b < 0xF5 ? 3
                                                  : 0;
        char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : b & 0x1F;
        bool ok = extra > 0 && i + extra < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            ok = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        // Overlong forms are no UTF-8.
        ok = ok && c >= (extra == 1 ? 0x80u : extra == 2 ? 0x800u : 0x10000u) && c <= 0x10FFFF;
        if (ok) {
            out.push_back(c);
            i += extra + 1;
        } else {
            out.push_back(b);
            ++i;
        }
    }
    return out;
}

std::string EncodeUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | c >> 6));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | c >> 12));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18 & 0x07)));
            out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

namespace {

// Appends text in a format, merging with the last run when the format is the same.
void Append(TextRuns& runs, std::u32string_view text, const TextFormat& format) {
    if (text.empty()) return;
    if (runs.empty() || !(runs.back().format == format)) runs.push_back({{}, format});
    runs.back().text.append(text);
}

// Appends text with its line breaks ("\r\n", "\r", "\n") made paragraph ends.
void AppendBreaking(TextRuns& runs, std::u32string_view text, const TextFormat& format) {
    std::u32string t;
    t.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'\r') {
            t.push_back(U'\n');
            if (i + 1 < text.size() && text[i + 1] == U'\n') ++i;
        } else {
            t.push_back(text[i]);
        }
    }
    Append(runs, t, format);
}

} // namespace

TextRuns PlainRuns(std::string_view utf8, const TextFormat& format) {
    TextRuns runs;
    AppendBreaking(runs, DecodeUtf8(utf8), format);
    if (runs.empty()) runs.push_back({{}, format});
    return runs;
}

std::string PlainText(const TextRuns& runs) {
    std::u32string all;
    for (const TextRun& r : runs)
        all += r.text;
    std::replace(all.begin(), all.end(), U'\n', U'\r');
    return EncodeUtf8(all);
}

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

struct Tag {
    std::string name; // lower case, without '/'
    bool closing = false;
    std::vector<std::pair<std::string, std::string>> attributes; // names lower case

    const std::string* Attribute(const char* name) const {
        for (const auto& [k, v] : attributes)
            if (k == name) return &v;
        return nullptr;
    }
};

// Parses the inside of <...>.
Tag ParseTag(std::string_view s) {
    Tag tag;
    size_t i = 0;
    auto skipSpace = [&] {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
    };
    skipSpace();
    if (i < s.size() && s[i] == '/') {
        tag.closing = true;
        ++i;
    }
    size_t start = i;
    while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i])) && s[i] != '/')
        ++i;
    tag.name = Lower(s.substr(start, i - start));
    while (i < s.size()) {
        skipSpace();
        start = i;
        while (i < s.size() && s[i] != '=' && !std::isspace(static_cast<unsigned char>(s[i])) && s[i] != '/')
            ++i;
        std::string name = Lower(s.substr(start, i - start));
        if (name.empty()) {
            ++i;
            continue;
        }
        skipSpace();
        std::string value;
        if (i < s.size() && s[i] == '=') {
            ++i;
            skipSpace();
            if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
                char quote = s[i++];
                start = i;
                while (i < s.size() && s[i] != quote)
                    ++i;
                value = s.substr(start, i - start);
                if (i < s.size()) ++i;
            } else {
                start = i;
                while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i])))
                    ++i;
                value = s.substr(start, i - start);
            }
        }
        tag.attributes.emplace_back(std::move(name), std::move(value));
    }
    return tag;
}

// A number attribute; `fallback` when it is none.
double Number(const std::string& s, double fallback) {
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    return end == s.c_str() || !std::isfinite(v) ? fallback : v;
}

bool ParseColor(const std::string& s, RGBA& out) {
    size_t i = !s.empty() && s[0] == '#' ? 1 : 0;
    char* end = nullptr;
    unsigned long v = std::strtoul(s.c_str() + i, &end, 16);
    if (end == s.c_str() + i) return false;
    out = {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v), 255};
    return true;
}

// The character an entity (without '&' and ';') stands for; 0 when unknown.
char32_t Entity(std::string_view name) {
    if (name == "lt") return U'<';
    if (name == "gt") return U'>';
    if (name == "amp") return U'&';
    if (name == "quot") return U'"';
    if (name == "apos") return U'\'';
    if (name == "nbsp") return 0xA0;
    if (name.size() > 1 && name[0] == '#') {
        bool hex = name[1] == 'x' || name[1] == 'X';
        std::string digits(name.substr(hex ? 2 : 1));
        if (digits.empty() || digits.size() > 8) return 0;
        char* end = nullptr;
        unsigned long v = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
        if (*end != 0 || v == 0 || v > 0x10FFFF) return 0;
        return static_cast<char32_t>(v);
    }
    return 0;
}

class HtmlReader {
  public:
    HtmlReader(const TextFormat& base, bool condenseWhite) : condense_(condenseWhite) {
        stack_.push_back({"", base});
    }

    TextRuns Read(std::string_view html) {
        size_t i = 0;
        std::string text;
        auto flush = [&] {
            std::u32string t = DecodeUtf8(text);
            if (condense_) t = Condensed(t);
            Text(t);
            text.clear();
        };
        while (i < html.size()) {
            char c = html[i];
            if (c == '<') {
                size_t close = html.find('>', i + 1);
                if (close == std::string_view::npos) break; // an unfinished tag ends the text
                flush();
                Open(ParseTag(html.substr(i + 1, close - i - 1)));
                i = close + 1;
            } else if (c == '&') {
                size_t semi = html.find(';', i + 1);
                char32_t e = semi != std::string_view::npos && semi - i <= 10
                                 ? Entity(html.substr(i + 1, semi - i - 1))
                                 : 0;
                if (e) {
                    flush();
                    Text(std::u32string(1, e));
                    i = semi + 1;
                } else {
                    text.push_back(c);
                    ++i;
                }
            } else {
                text.push_back(c);
                ++i;
            }
        }
        flush();
        if (runs_.empty()) runs_.push_back({{}, stack_.front().format});
        return std::move(runs_);
    }

  private:
    struct Open_ {
        std::string tag;
        TextFormat format;
    };

    const TextFormat& Current() const { return stack_.back().format; }

    // White space as one space, none at the start of a paragraph or after a space.
    std::u32string Condensed(std::u32string_view t) const {
        std::u32string out;
        bool space = atParagraphStart_ ||
                     (!runs_.empty() && !runs_.back().text.empty() && runs_.back().text.back() == U' ');
        for (char32_t c : t) {
            const bool white = c == U' ' || c == U'\t' || c == U'\r' || c == U'\n';
            if (white && space) continue;
            out.push_back(white ? U' ' : c);
            space = white;
        }
        return out;
    }

    void Text(std::u32string_view t) {
        if (t.empty()) return;
        AppendBreaking(runs_, t, Current());
        atParagraphStart_ = !runs_.empty() && runs_.back().text.back() == U'\n';
    }

    void Break() {
        Append(runs_, U"\n", Current());
        atParagraphStart_ = true;
    }

    // A new paragraph unless one has just begun.
    void StartParagraph() {
        if (!atParagraphStart_ && !runs_.empty()) Break();
    }

    void Push(const std::string& tag, const TextFormat& format) {
        if (stack_.size() < kMaxNesting) stack_.push_back({tag, format});
    }

    void Pop(const std::string& tag) {
        for (size_t i = stack_.size(); i-- > 1;)
            if (stack_[i].tag == tag) {
                stack_.resize(i);
                return;
            }
    }

    void Open(const Tag& tag) {
        const std::string& n = tag.name;
        if (tag.closing) {
            if (n == "p" || n == "li") {
                // The paragraph ends in its own format.
                Break();
            }
            Pop(n);
            return;
        }
        TextFormat f = Current();
        if (n == "br") {
            Break();
            return;
        }
        if (n == "p") {
            StartParagraph();
            if (const auto* a = tag.Attribute("align")) {
                std::string v = Lower(*a);
                f.align = v == "right"     ? TextAlign::Right
                          : v == "center"  ? TextAlign::Center
                          : v == "justify" ? TextAlign::Justify
                                           : TextAlign::Left;
            }
        } else if (n == "li") {
            StartParagraph();
            f.bullet = true;
        } else if (n == "b") {
            f.bold = true;
        } else if (n == "i") {
            f.italic = true;
        } else if (n == "u") {
            f.underline = true;
        } else if (n == "a") {
            if (const auto* a = tag.Attribute("href")) f.url = *a;
            if (const auto* a = tag.Attribute("target")) f.target = *a;
        } else if (n == "font") {
            if (const auto* a = tag.Attribute("face")) f.font = *a;
            if (const auto* a = tag.Attribute("size")) {
                double v = Number(*a, f.size);
                f.size = !a->empty() && ((*a)[0] == '+' || (*a)[0] == '-') ? f.size + v : v;
            }
            if (const auto* a = tag.Attribute("color")) ParseColor(*a, f.color);
            if (const auto* a = tag.Attribute("letterspacing")) f.letterSpacing = Number(*a, f.letterSpacing);
            if (const auto* a = tag.Attribute("kerning")) f.kerning = Number(*a, 0) != 0;
        } else if (n == "textformat") {
            if (const auto* a = tag.Attribute("leftmargin")) f.leftMargin = Number(*a, f.leftMargin);
            if (const auto* a = tag.Attribute("rightmargin")) f.rightMargin = Number(*a, f.rightMargin);
            if (const auto* a = tag.Attribute("indent")) f.indent = Number(*a, f.indent);
            if (const auto* a = tag.Attribute("blockindent")) f.blockIndent = Number(*a, f.blockIndent);
            if (const auto* a = tag.Attribute("leading")) f.leading = Number(*a, f.leading);
        } else {
            return; // unknown: its text is kept in the format around it
        }
        Push(n, f);
    }

    static constexpr size_t kMaxNesting = 256;
    const bool condense_;
    std::vector<Open_> stack_;
    TextRuns runs_;
    bool atParagraphStart_ = true;
};

const char* AlignName(TextAlign a) {
    switch (a) {
    case TextAlign::Right:
        return "RIGHT";
    case TextAlign::Center:
        return "CENTER";
    case TextAlign::Justify:
        return "JUSTIFY";
    case TextAlign::Left:
        break;
    }
    return "LEFT";
}

std::string Escape(std::u32string_view t) {
    std::u32string out;
    for (char32_t c : t) {
        switch (c) {
        case U'<':
            out += U"&lt;";
            break;
        case U'>':
            out += U"&gt;";
            break;
        case U'&':
            out += U"&amp;";
            break;
        case U'"':
            out += U"&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return EncodeUtf8(out);
}

std::string FormatNumber(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

} // namespace

TextRuns ParseHtml(std::string_view html, const TextFormat& base, bool condenseWhite) {
    return HtmlReader(base, condenseWhite).Read(html);
}

std::string WriteHtml(const TextRuns& runs) {
    std::string out;
    bool open = false;
    auto openParagraph = [&](const TextFormat& f) {
        out += f.bullet ? "<LI>" : std::string("<P ALIGN=\"") + AlignName(f.align) + "\">";
        open = true;
    };
    auto closeParagraph = [&](const TextFormat& f) {
        if (!open) openParagraph(f);
        out += f.bullet ? "</LI>" : "</P>";
        open = false;
    };
    for (const TextRun& r : runs) {
        const TextFormat& f = r.format;
        size_t i = 0;
        while (i <= r.text.size()) {
            size_t end = r.text.find(U'\n', i);
            std::u32string_view piece =
                std::u32string_view(r.text).substr(i, end == std::u32string::npos ? end : end - i);
            if (!piece.empty()) {
                if (!open) openParagraph(f);
                char color[8];
                std::snprintf(color, sizeof color, "%02X%02X%02X", f.color.r, f.color.g, f.color.b);
                std::string inner = Escape(piece);
                if (f.underline) inner = "<U>" + inner + "</U>";
                if (f.italic) inner = "<I>" + inner + "</I>";
                if (f.bold) inner = "<B>" + inner + "</B>";
                out += "<FONT FACE=\"" + f.font + "\" SIZE=\"" + FormatNumber(f.size) + "\" COLOR=\"#" +
                       color + "\" LETTERSPACING=\"" + FormatNumber(f.letterSpacing) + "\" KERNING=\"" +
                       (f.kerning ? "1" : "0") + "\">" + inner + "</FONT>";
            }
            if (end == std::u32string::npos) break;
            closeParagraph(f);
            i = end + 1;
        }
    }
    if (open || out.empty()) closeParagraph(runs.empty() ? TextFormat{} : runs.back().format);
    return out;
}

} // namespace movie::text
