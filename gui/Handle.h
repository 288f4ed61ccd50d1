// Owning types for the handles the program owns beside its GDI objects (GdiObject.h): windows,
// menus, icons, registry keys and kernel handles (files, events, threads). Each closes its
// handle when it goes, on every path. A Borrowed handle is one that someone else owns and
// closes: holding it says so.
#pragma once

#include <windows.h>

#include <utility>

namespace gui {

// Owns one handle of kind H and closes it with Traits::Close; Traits::Invalid() is its empty value.
template <class H, class Traits> class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, Traits::Invalid()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }

    // Closes the handle held (if any) and takes `handle` instead.
    void Reset(H handle = Traits::Invalid()) {
        H old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    // Gives up ownership (for calls that take the handle over).
    H Release() { return std::exchange(handle_, Traits::Invalid()); }

  private:
    H handle_ = Traits::Invalid();
};

namespace detail {
struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static void Close(HWND h) { DestroyWindow(h); }
};
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
// CreateFile and its kin answer INVALID_HANDLE_VALUE, not null, when they fail.
struct FileTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
// CreateEvent, CreateThread and most other kernel calls answer null when they fail.
struct KernelTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
} // namespace detail

using WindowHandle = UniqueHandle<HWND, detail::WindowTraits>;
using MenuHandle = UniqueHandle<HMENU, detail::MenuTraits>;
using IconHandle = UniqueHandle<HICON, detail::IconTraits>;
using RegKeyHandle = UniqueHandle<HKEY, detail::RegKeyTraits>;
using FileHandle = UniqueHandle<HANDLE, detail::FileTraits>;
using KernelHandle = UniqueHandle<HANDLE, detail::KernelTraits>;

// A handle that someone else owns and closes (a device context handed in for one paint, a
// window of another component): never closed here.
template <class H> class Borrowed {
  public:
    Borrowed() = default;
    Borrowed(H handle) : handle_(handle) {}
    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != H{}; }

  private:
    H handle_{};
};

} // namespace gui
