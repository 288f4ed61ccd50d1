// Small movie files written byte by byte for the tests: a stage, a frame
// rate, a background colour and a number of empty frames.
#pragma once

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace testmovie {

class BitWriter {
public:
    void bits(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (used_ == 0) bytes.push_back(0);
            if ((value >> i) & 1) bytes.back() |= static_cast<std::uint8_t>(0x80 >> used_);
            used_ = (used_ + 1) % 8;
        }
    }
    std::vector<std::uint8_t> bytes;

private:
    int used_ = 0;
};

inline void u16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

// An uncompressed movie of `frames` empty frames on a width × height pixel stage.
inline std::vector<std::uint8_t> Build(int width, int height, int frames, unsigned fps, std::uint8_t r,
                                       std::uint8_t g, std::uint8_t b) {
    BitWriter rect;
    rect.bits(15, 5);
    rect.bits(0, 15);
    rect.bits(static_cast<std::uint32_t>(width * 20), 15);
    rect.bits(0, 15);
    rect.bits(static_cast<std::uint32_t>(height * 20), 15);
    std::vector<std::uint8_t> body = rect.bytes;
    u16(body, fps << 8); // 8.8 fixed point
    u16(body, static_cast<unsigned>(frames));
    u16(body, (9u << 6) | 3); // SetBackgroundColor
    body.insert(body.end(), {r, g, b});
    for (int i = 0; i < frames; ++i) u16(body, 1u << 6); // ShowFrame
    u16(body, 0);                                         // End
    std::vector<std::uint8_t> file = {'F', 'W', 'S', 6};
    std::uint32_t length = static_cast<std::uint32_t>(8 + body.size());
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// A folder of its own under the temporary folder, removed with its files at the end.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"nimbre-app-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter()++);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const auto& f : files_) DeleteFileW(f.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    // The folder in UTF-8 with its trailing separator.
    std::string Folder() const { return narrow(path_) + "\\"; }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& data) {
        std::wstring file = path_ + L"\\" + std::wstring(name.begin(), name.end());
        std::ofstream out(file.c_str(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        files_.push_back(file);
        return Folder() + name;
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    static std::string narrow(const std::wstring& w) {
        int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string s(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
        return s;
    }
    std::wstring path_;
    std::vector<std::wstring> files_;
};

} // namespace testmovie
