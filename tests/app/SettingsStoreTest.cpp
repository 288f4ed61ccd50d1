// The settings store against the real registry of the test prefix. The
// values touched under "Control Panel\Desktop" are saved before each test
// and put back after it.
#include "app/ut_writereg.h"

#include "gui/Exception.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {
const wchar_t* const DesktopPath = L"Control Panel\\Desktop";
const wchar_t* const TouchedValues[] = {L"ScreenSaveTimeOut", L"ScreenSaveActive", L"soundoff"};

struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};

class DesktopKey {
public:
    DesktopKey() { EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, DesktopPath, 0, KEY_ALL_ACCESS, &key_), ERROR_SUCCESS); }
    ~DesktopKey() { RegCloseKey(key_); }

    std::optional<RawValue> get(const wchar_t* name) const {
        RawValue value;
        DWORD size = 0;
        if (RegQueryValueExW(key_, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
        value.data.resize(size);
        if (RegQueryValueExW(key_, name, nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS)
            return std::nullopt;
        value.data.resize(size);
        return value;
    }
    void put(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    void putText(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
        put(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void putDword(const wchar_t* name, DWORD value) { put(name, REG_DWORD, &value, sizeof(value)); }
    void remove(const wchar_t* name) { RegDeleteValueW(key_, name); }

    std::wstring text(const wchar_t* name) const {
        auto value = get(name);
        if (!value) return L"<missing>";
        if (value->type != REG_SZ) return L"<type " + std::to_wstring(value->type) + L">";
        return std::wstring(reinterpret_cast<const wchar_t*>(value->data.data()));
    }
    std::optional<DWORD> dword(const wchar_t* name) const {
        auto value = get(name);
        if (!value || value->type != REG_DWORD || value->data.size() != 4) return std::nullopt;
        return *reinterpret_cast<const DWORD*>(value->data.data());
    }

private:
    HKEY key_ = nullptr;
};

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : TouchedValues) saved_.push_back(desktop.get(name));
    }
    void TearDown() override {
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i])
                desktop.put(TouchedValues[i], saved_[i]->type, saved_[i]->data.data(),
                            static_cast<DWORD>(saved_[i]->data.size()));
            else
                desktop.remove(TouchedValues[i]);
        }
    }
    std::string errorOf(auto call) {
        try {
            call();
        } catch (const gui::Exception& error) {
            return error.what();
        }
        return "<no error>";
    }

    DesktopKey desktop;

private:
    std::vector<std::optional<RawValue>> saved_;
};

bool keyExists(const wchar_t* path) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}
} // namespace

TEST_F(SettingsStore, WriteStoresSecondsActiveAndFlag) {
    desktop.putText(L"ScreenSaveActive", L"0");
    WriteSettings(15, false);
    EXPECT_EQ(desktop.text(L"ScreenSaveTimeOut"), L"900");
    EXPECT_EQ(desktop.text(L"ScreenSaveActive"), L"1");
    EXPECT_EQ(desktop.dword(L"soundoff"), 0u);
    WriteSettings(100, true);
    EXPECT_EQ(desktop.text(L"ScreenSaveTimeOut"), L"6000");
    EXPECT_EQ(desktop.dword(L"soundoff"), 1u);
    // A "soundoff" of another type is simply replaced by the write.
    desktop.putText(L"soundoff", L"1");
    WriteSettings(1, true);
    EXPECT_EQ(desktop.text(L"ScreenSaveTimeOut"), L"60");
    EXPECT_EQ(desktop.dword(L"soundoff"), 1u);
    EXPECT_EQ(ReadTimeoutSeconds(), 60);
    EXPECT_TRUE(ReadSoundOff());
}

TEST_F(SettingsStore, TimeoutReadsDecimalAndHexadecimalText) {
    desktop.putText(L"ScreenSaveTimeOut", L"600");
    EXPECT_EQ(ReadTimeoutSeconds(), 600);
    desktop.putText(L"ScreenSaveTimeOut", L" 600");
    EXPECT_EQ(ReadTimeoutSeconds(), 600);
    desktop.putText(L"ScreenSaveTimeOut", L"-5");
    EXPECT_EQ(ReadTimeoutSeconds(), -5);
    desktop.putText(L"ScreenSaveTimeOut", L"$3C", REG_EXPAND_SZ);
    EXPECT_EQ(ReadTimeoutSeconds(), 60);
    desktop.putText(L"ScreenSaveTimeOut", L"0x3c");
    EXPECT_EQ(ReadTimeoutSeconds(), 60);
    // Cut at the first NUL.
    const wchar_t withNul[] = L"120\0" L"99";
    desktop.put(L"ScreenSaveTimeOut", REG_SZ, withNul, sizeof(withNul));
    EXPECT_EQ(ReadTimeoutSeconds(), 120);
}

TEST_F(SettingsStore, TimeoutThatIsNotANumberIsAnError) {
    desktop.putText(L"ScreenSaveTimeOut", L"600 ");
    EXPECT_EQ(errorOf([] { ReadTimeoutSeconds(); }), "'600 ' is not a valid integer value");
    desktop.putText(L"ScreenSaveTimeOut", L"10m");
    EXPECT_EQ(errorOf([] { ReadTimeoutSeconds(); }), "'10m' is not a valid integer value");
    desktop.putText(L"ScreenSaveTimeOut", L"");
    EXPECT_EQ(errorOf([] { ReadTimeoutSeconds(); }), "'' is not a valid integer value");
    desktop.remove(L"ScreenSaveTimeOut");
    EXPECT_EQ(errorOf([] { ReadTimeoutSeconds(); }), "'' is not a valid integer value");
    desktop.put(L"ScreenSaveTimeOut", REG_SZ, nullptr, 0);
    EXPECT_EQ(errorOf([] { ReadTimeoutSeconds(); }), "'' is not a valid integer value");
    desktop.putDword(L"ScreenSaveTimeOut", 600);
    EXPECT_EQ(errorOf([] { ReadTimeoutSeconds(); }), "Invalid data type for 'ScreenSaveTimeOut'");
    // Reading never repairs the timeout.
    EXPECT_EQ(desktop.dword(L"ScreenSaveTimeOut"), 600u);
}

TEST_F(SettingsStore, SoundOffReadsAnyNonZeroDwordAsTrue) {
    desktop.putDword(L"soundoff", 5);
    EXPECT_TRUE(ReadSoundOff());
    EXPECT_EQ(desktop.dword(L"soundoff"), 5u);
    desktop.putDword(L"soundoff", 0);
    EXPECT_FALSE(ReadSoundOff());
}

TEST_F(SettingsStore, SoundOffOfAnotherTypeOrSizeIsRepairedToZero) {
    desktop.putText(L"soundoff", L"1");
    EXPECT_FALSE(ReadSoundOff());
    EXPECT_EQ(desktop.dword(L"soundoff"), 0u);

    const unsigned long long wide = 1;
    desktop.put(L"soundoff", REG_QWORD, &wide, sizeof(wide));
    EXPECT_FALSE(ReadSoundOff());
    EXPECT_EQ(desktop.dword(L"soundoff"), 0u);

    const BYTE eight[8] = {1, 0, 0, 0, 1, 0, 0, 0};
    desktop.put(L"soundoff", REG_DWORD, eight, sizeof(eight));
    EXPECT_FALSE(ReadSoundOff());
    EXPECT_EQ(desktop.dword(L"soundoff"), 0u);
}

TEST_F(SettingsStore, MissingSoundOffIsCreatedOnce) {
    desktop.remove(L"soundoff");
    EXPECT_FALSE(ReadSoundOff());
    EXPECT_EQ(desktop.dword(L"soundoff"), 0u);
    EXPECT_FALSE(ReadSoundOff());
    EXPECT_EQ(desktop.dword(L"soundoff"), 0u);
}

TEST(SettingsStoreWithoutKey, ReadsGiveTheDefaultsAndWritesNothing) {
    const std::string missing = "\\Software\\NimbreScreenTests\\NoSuchKey";
    ASSERT_FALSE(keyExists(L"Software\\NimbreScreenTests\\NoSuchKey"));
    EXPECT_EQ(settings_store::ReadTimeoutSecondsAt(missing), 900);
    EXPECT_FALSE(settings_store::ReadSoundOffAt(missing));
    settings_store::WriteSettingsAt(missing, 15, true);
    EXPECT_FALSE(keyExists(L"Software\\NimbreScreenTests\\NoSuchKey"));
    EXPECT_FALSE(keyExists(L"Software\\NimbreScreenTests"));
}
