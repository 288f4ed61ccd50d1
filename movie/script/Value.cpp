#include "movie/script/Value.h"

#include <algorithm>

namespace movie::script {

namespace {

// Names with no letter match only themselves, whatever the case rules.
bool HasLetter(const std::string& s) {
    for (char c : s)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return false;
}

} // namespace

bool CaselessEqual(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
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
}

void Function::Trace(std::vector<Object*>& out) {
    Object::Trace(out);
    for (Scope& s : scope)
        out.push_back(s.obj);
    if (homeClip) out.push_back(homeClip);
}

void Array::SetLength(int32_t n) {
    if (n < length) {
        int32_t from = std::max(n, 0);
        std::vector<std::string> drop;
        for (const Slot& s : Slots()) {
            int32_t i;
            if (ElementIndex(s.name, i) && i >= from && i < length) drop.push_back(s.name);
        }
        for (const std::string& name : drop)
            DeleteOwn(name, false);
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
