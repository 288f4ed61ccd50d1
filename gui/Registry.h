// Access to the Windows registry: a root key, one open key, and typed reads and writes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "gui/Handle.h"

namespace gui {

enum TRegDataType : std::uint8_t { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class Registry {
  public:
    // Root HKEY_CURRENT_USER; keys are opened with the given access.
    explicit Registry(REGSAM access = KEY_ALL_ACCESS);
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;
    ~Registry(); // closes the open key

    HKEY RootKey() const { return root_; }
    // Closes the open key and changes the root.
    void SetRootKey(HKEY root);
    HKEY CurrentKey() const { return current_.Get(); }
    const std::string& CurrentPath() const { return currentPath_; }

    // Opens key; a path starting with "\" is taken from the root, any other from the open key
    // (or the root when none is open). Creates it only when canCreate is set. Returns whether it
    // is open now; on failure the previously open key stays open.
    bool OpenKey(const std::string& key, bool canCreate = false);
    void CloseKey();
    // Deletes a key (from the root or the open key, as OpenKey) with all its subkeys.
    bool DeleteKey(const std::string& key);
    bool DeleteValue(const std::string& name);

    bool ValueExists(const std::string& name) const;
    // rdUnknown when the value is missing or of another type.
    TRegDataType GetDataType(const std::string& name) const;
    // The value's size in bytes, -1 when it is missing.
    int GetDataSize(const std::string& name) const;

    // A REG_SZ or REG_EXPAND_SZ value as stored, cut at the first NUL; "" when the value is
    // missing or empty. Another type: ERegistryException "Invalid data type for '<name>'".
    std::string ReadString(const std::string& name) const;
    // A 4-byte REG_DWORD. Another type: "Invalid data type for '<name>'"; missing or longer:
    // "Failed to get data for '<name>'".
    int ReadInteger(const std::string& name) const;
    // REG_SZ / REG_DWORD; failure: ERegistryException "Failed to set data for '<name>'".
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int value);

  private:
    HKEY BaseKey(bool relative) const;
    void PutData(const std::string& name, DWORD type, const void* data, DWORD size);

    HKEY root_ = HKEY_CURRENT_USER;
    RegKeyHandle current_;
    std::string currentPath_;
    REGSAM access_;
};

} // namespace gui
