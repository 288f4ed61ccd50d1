#include "movie/script/Value.h"

#include <algorithm>

namespace movie::script {

namespace {

// Names with no letter match only themselves, whatever the case rules.
bool HasLetter(const std::string& s) {
    for (char c : s)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// Next code point of UTF-8 text (a stray byte stands for itself).
int NextCode(const std::string& s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i++]);
    int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
    if (extra == 0 || i + static_cast<size_t>(extra) > s.size()) return c;
    int code = c & (0x3f >> extra);
    for (int k = 0; k < extra; ++k)
        code = code << 6 | (static_cast<unsigned char>(s[i++]) & 0x3f);
    return code;
}

// Pairs of capital and small letters where the capital is the even code.
bool EvenCapital(int c, int first, int last) {
    return c >= first && c <= last && (c & 1) == 0;
}
bool OddCapital(int c, int first, int last) {
    return c >= first && c <= last && (c & 1) == 1;
}

} // namespace

// The small letter of a capital, for the scripts, Latin, Greek, Cyrillic and
// Armenian letters the player's case rules know (later additions to Unicode
// stay apart).
int FoldCase(int c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
    if (c >= 0xc0 && c <= 0xde && c != 0xd7) return c + 32;
    if (c < 0x100) return c;
    if (EvenCapital(c, 0x100, 0x137) || OddCapital(c, 0x139, 0x148) || EvenCapital(c, 0x14a, 0x177) ||
        OddCapital(c, 0x179, 0x17e))
        return c + 1;
    if (c == 0x178) return 0xff;
    if (c == 0x1c4 || c == 0x1c5 || c == 0x1c7 || c == 0x1c8 || c == 0x1ca || c == 0x1cb)
        return (c - 0x1c4) / 3 * 3 + 0x1c6;
    if (c == 0x1f1 || c == 0x1f2) return 0x1f3;
    if (OddCapital(c, 0x1cd, 0x1dc) || EvenCapital(c, 0x1de, 0x1ef) || c == 0x1f4 ||
        EvenCapital(c, 0x1f8, 0x21f) || EvenCapital(c, 0x222, 0x233))
        return c + 1;
    if (c == 0x386) return 0x3ac;
    if (c >= 0x388 && c <= 0x38a) return c + 37;
    if (c == 0x38c) return 0x3cc;
    if (c == 0x38e || c == 0x38f) return c + 63;
    if ((c >= 0x391 && c <= 0x3a1) || (c >= 0x3a3 && c <= 0x3ab)) return c + 32;
    if (EvenCapital(c, 0x3d8, 0x3ef)) return c + 1;
    if (c >= 0x400 && c <= 0x40f) return c + 80;
    if (c >= 0x410 && c <= 0x42f) return c + 32;
    if (EvenCapital(c, 0x460, 0x481) || EvenCapital(c, 0x48a, 0x4bf) || OddCapital(c, 0x4c1, 0x4ce) ||
        EvenCapital(c, 0x4d0, 0x4f5) || c == 0x4f8)
        return c + 1;
    if (c >= 0x531 && c <= 0x556) return c + 48;
    if (EvenCapital(c, 0x1e00, 0x1e95) || EvenCapital(c, 0x1ea0, 0x1ef9)) return c + 1;
    if (c >= 0xff21 && c <= 0xff3a) return c + 32;
    return c;
}

bool CaselessEqual(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[j]);
        if (x < 0x80 && y < 0x80) {
            if (FoldCase(x) != FoldCase(y)) return false;
            ++i, ++j;
            continue;
        }
        if (FoldCase(NextCode(a, i)) != FoldCase(NextCode(b, j))) return false;
    }
    return i == a.size() && j == b.size();
}

std::string Lower(std::string s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            out.push_back(static_cast<char>(FoldCase(s[i++])));
            continue;
        }
        size_t start = i;
        int code = NextCode(s, i);
        int folded = FoldCase(code);
        if (folded == code)
            out.append(s, start, i - start);
        else
            AppendUtf8(out, folded);
    }
    return out;
}

bool ElementIndex(const std::string& s, int32_t& out) {
    size_t i = s.size() > 1 && s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    uint32_t n = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<uint32_t>(c - '0');
    }
    if (s[0] == '-') n = 0u - n;
    out = static_cast<int32_t>(n);
    return true;
}

Property* Object::FindOwn(const std::string& name, bool caseless) {
    auto it = index_.find(name);
    if (it != index_.end()) return &slots_[it->second].prop;
    if (caseless && HasLetter(name))
        for (Slot& s : slots_)
            if (CaselessEqual(s.name, name)) return &s.prop;
    return nullptr;
}

Property& Object::SetOwn(const std::string& name, Value v, uint8_t flags) {
    auto it = index_.find(name);
    if (it != index_.end()) {
        Property& p = slots_[it->second].prop;
        p.value = std::move(v);
        p.flags = flags;
        p.versionMask = 0;
        p.virt = false;
        return p;
    }
    index_.emplace(name, slots_.size());
    slots_.push_back({name, Property{std::move(v), nullptr, nullptr, false, flags, 0}});
    return slots_.back().prop;
}

bool Object::DeleteOwn(const std::string& name, bool caseless) {
    auto it = index_.find(name);
    if (it != index_.end() && it->second + 1 == slots_.size()) {
        if (slots_.back().prop.flags & kDontDelete) return false;
        index_.erase(it);
        slots_.pop_back();
        return true;
    }
    if (it == index_.end() && !(caseless && HasLetter(name))) return false;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].name == name || (caseless && CaselessEqual(slots_[i].name, name))) {
            if (slots_[i].prop.flags & kDontDelete) return false;
            slots_.erase(slots_.begin() + static_cast<long>(i));
            Reindex();
            return true;
        }
    }
    return false;
}

void Object::Reorder(const std::vector<std::string>& oldestFirst) {
    std::vector<Slot> sorted;
    sorted.reserve(slots_.size());
    std::vector<bool> taken(slots_.size(), false);
    for (const std::string& name : oldestFirst) {
        auto it = index_.find(name);
        if (it == index_.end() || taken[it->second]) continue;
        taken[it->second] = true;
        sorted.push_back(std::move(slots_[it->second]));
    }
    for (size_t i = 0; i < slots_.size(); ++i)
        if (!taken[i]) sorted.push_back(std::move(slots_[i]));
    slots_ = std::move(sorted);
    Reindex();
}

void Object::Reindex() {
    index_.clear();
    for (size_t i = 0; i < slots_.size(); ++i)
        index_.emplace(slots_[i].name, i);
}

void Object::Trace(std::vector<Object*>& out) {
    if (proto) out.push_back(proto);
    for (Slot& s : slots_) {
        if (s.prop.value.o) out.push_back(s.prop.value.o);
        if (s.prop.getter) out.push_back(s.prop.getter);
        if (s.prop.setter) out.push_back(s.prop.setter);
    }
    for (auto& [k, w] : watches) {
        out.push_back(w.fn);
        if (w.data.o) out.push_back(w.data.o);
    }
    if (primitive.o) out.push_back(primitive.o);
    if (inside) inside->Trace(out);
}

void Function::Trace(std::vector<Object*>& out) {
    Object::Trace(out);
    for (Scope& s : scope)
        out.push_back(s.obj);
    if (homeClip) out.push_back(homeClip);
}

void Array::SetLength(int32_t n) {
    if (n < length) {
        const int32_t from = std::max(n, 0);
        DeleteOwnWhere([&](const std::string& name) {
            int32_t i;
            return ElementIndex(name, i) && i >= from && i < length;
        });
    }
    length = n;
}

Value Array::Element(int32_t i) const {
    auto* self = const_cast<Array*>(this);
    Property* p = self->FindOwn(std::to_string(i), false);
    return p && !p->virt ? p->value : Value();
}

std::vector<Value> Array::Elements() const {
    std::vector<Value> out;
    out.reserve(static_cast<size_t>(std::max(length, 0)));
    for (int32_t i = 0; i < length; ++i)
        out.push_back(Element(i));
    return out;
}

void Array::Assign(const std::vector<Value>& values) {
    SetLength(0);
    for (const Value& v : values)
        Append(v);
}

void Array::Append(const Value& v) {
    SetOwn(std::to_string(length), v);
    ++length;
}

bool Array::GetSpecial(Vm&, const std::string& name, Value& out) {
    if (name != "length") return false;
    out = Value(static_cast<double>(length));
    return true;
}

namespace {

// The UTF-16 code units of UTF-8 text; a byte that starts no valid sequence
// stands for itself, an encoded surrogate for the replacement character.
std::u16string Utf16(const std::string& s) {
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        int len = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 1;
        uint32_t cp = len == 1 ? c : c & (0x3f >> (len - 1));
        bool ok = len == 1 || i + static_cast<size_t>(len) <= s.size();
        for (int k = 1; ok && k < len; ++k) {
            auto d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            ok = (d & 0xc0) == 0x80;
            cp = cp << 6 | (d & 0x3f);
        }
        if (!ok) {
            cp = c;
            len = 1;
        } else if (cp >= 0xd800 && cp < 0xe000) {
            cp = 0xfffd; // a surrogate written out on its own is no character
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xd800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xdc00 + (cp & 0x3ff)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += static_cast<size_t>(len);
    }
    return out;
}

} // namespace

int CompareText(const std::string& a, const std::string& b) {
    size_t i = 0, n = std::min(a.size(), b.size());
    while (i < n && a[i] == b[i])
        ++i;
    if (i == n) return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
    auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x < 0x80 && y < 0x80) return x < y ? -1 : 1;
    std::u16string u = Utf16(a), v = Utf16(b);
    return u < v ? -1 : u > v ? 1 : 0;
}

std::string AnsiToUtf8(const std::string& s) {
    bool plain = true;
    for (char c : s)
        plain = plain && static_cast<unsigned char>(c) < 0x80;
    if (plain) return s;
    // 0x80 to 0x9f differ from Latin-1 (0: unassigned, kept as is).
    static const uint16_t kHigh[32] = {0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021,
                                       0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017d, 0,
                                       0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014,
                                       0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};
    std::string out;
    for (char ch : s) {
        int c = static_cast<unsigned char>(ch);
        if (c >= 0x80 && c < 0xa0 && kHigh[c - 0x80]) c = kHigh[c - 0x80];
        AppendUtf8(out, c);
    }
    return out;
}

size_t ScriptLength(const std::string& s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if ((c & 0xc0) != 0x80) n += c >= 0xf0 ? 2 : 1; // beyond 16 bits: a surrogate pair
    }
    return n;
}

void AppendUtf8(std::string& s, int code) {
    if (code < 0x80) {
        s.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        s.push_back(static_cast<char>(0xc0 | code >> 6));
        s.push_back(static_cast<char>(0x80 | (code & 0x3f)));
    } else {
        s.push_back(static_cast<char>(0xe0 | code >> 12));
        s.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3f)));
        s.push_back(static_cast<char>(0x80 | (code & 0x3f)));
    }
}

} // namespace movie::script
