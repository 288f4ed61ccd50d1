#include "gui/Registry.h"

#include <utility>
#include <vector>

#include "gui/Exception.h"
#include "gui/Text.h"

namespace gui {

namespace {

bool IsRelative(const std::string& key) {
    return key.empty() || key[0] != '\\';
}

std::string WithoutLeadingSeparator(const std::string& key) {
    return IsRelative(key) ? key : key.substr(1);
}

[[noreturn]] void Fail(const char* pattern, const std::string& name) {
    throw ERegistryException(FormatMessageText(pattern, name));
}

} // namespace

Registry::Registry(REGSAM access) : access_(access) {}

Registry::~Registry() {
    CloseKey();
}

void Registry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

HKEY Registry::BaseKey(bool relative) const {
    return (current_ && relative) ? current_.Get() : root_;
}

bool Registry::OpenKey(const std::string& key, bool canCreate) {
    const bool relative = IsRelative(key);
    const std::string path = WithoutLeadingSeparator(key);
    const std::wstring widePath = Utf8ToWide(path);
    HKEY opened = nullptr;
    LONG result;
    if (!canCreate || path.empty()) {
        result = RegOpenKeyExW(BaseKey(relative), widePath.c_str(), 0, access_, &opened);
    } else {
        result = RegCreateKeyExW(BaseKey(relative), widePath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 access_, nullptr, &opened, nullptr);
    }
    if (result != ERROR_SUCCESS) return false;
    RegKeyHandle owned(opened);
    const std::string newPath = (relative && !currentPath_.empty()) ? currentPath_ + "\\" + path : path;
    CloseKey();
    current_ = std::move(owned);
    currentPath_ = newPath;
    return true;
}

void Registry::CloseKey() {
    current_.Reset();
    currentPath_.clear();
}

bool Registry::DeleteKey(const std::string& key) {
    const bool relative = IsRelative(key);
    const std::string path = WithoutLeadingSeparator(key);
    if (path.empty()) return false;
    // With a subkey name RegDeleteTree removes the key itself as well.
    return RegDeleteTreeW(BaseKey(relative), Utf8ToWide(path).c_str()) == ERROR_SUCCESS;
}

bool Registry::DeleteValue(const std::string& name) {
    return current_ && RegDeleteValueW(current_.Get(), Utf8ToWide(name).c_str()) == ERROR_SUCCESS;
}

bool Registry::ValueExists(const std::string& name) const {
    return GetDataSize(name) >= 0;
}

namespace {

TRegDataType DataTypeOf(DWORD type) {
    switch (type) {
    case REG_SZ:
        return rdString;
    case REG_EXPAND_SZ:
        return rdExpandString;
    case REG_DWORD:
        return rdInteger;
    case REG_BINARY:
        return rdBinary;
    default:
        return rdUnknown;
    }
}

} // namespace

TRegDataType Registry::GetDataType(const std::string& name) const {
    DWORD type = 0;
    if (!current_ || RegQueryValueExW(current_.Get(), Utf8ToWide(name).c_str(), nullptr, &type, nullptr,
                                      nullptr) != ERROR_SUCCESS)
        return rdUnknown;
    return DataTypeOf(type);
}

int Registry::GetDataSize(const std::string& name) const {
    DWORD size = 0;
    if (!current_ || RegQueryValueExW(current_.Get(), Utf8ToWide(name).c_str(), nullptr, nullptr, nullptr,
                                      &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(size);
}

std::string Registry::ReadString(const std::string& name) const {
    const std::wstring wideName = Utf8ToWide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (!current_ ||
        RegQueryValueExW(current_.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) Fail("Invalid data type for '%s'", name);
    // Room for the data and a terminator even when the stored string has none.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    DWORD got = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(current_.Get(), wideName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS)
        Fail("Failed to get data for '%s'", name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) Fail("Invalid data type for '%s'", name);
    return WideToUtf8(std::wstring(buffer.data())); // cut at the first NUL
}

int Registry::ReadInteger(const std::string& name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!current_ || RegQueryValueExW(current_.Get(), Utf8ToWide(name).c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        Fail("Failed to get data for '%s'", name);
    if (type != REG_DWORD || size != sizeof(value)) Fail("Invalid data type for '%s'", name);
    return static_cast<int>(value);
}

void Registry::PutData(const std::string& name, DWORD type, const void* data, DWORD size) {
    if (!current_ || RegSetValueExW(current_.Get(), Utf8ToWide(name).c_str(), 0, type,
                                    static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        Fail("Failed to set data for '%s'", name);
}

void Registry::WriteString(const std::string& name, const std::string& value) {
    const std::wstring wide = Utf8ToWide(value);
    PutData(name, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void Registry::WriteInteger(const std::string& name, int value) {
    const DWORD data = static_cast<DWORD>(value);
    PutData(name, REG_DWORD, &data, sizeof(data));
}

} // namespace gui
