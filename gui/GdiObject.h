// Owning wrappers for GDI objects and device contexts, and scope guards for the paired GDI
// calls (SelectObject, SaveDC/RestoreDC, GetDC/ReleaseDC). Every object the framework creates
// passes through them and is counted, so a test can prove that painting leaks nothing.
#pragma once

#include <windows.h>

#include <cstdint>

#include <utility>

namespace gui {

// The number of GDI objects, device contexts, icons and image lists created by the framework
// that are still alive.
long LiveGdiObjectCount();

namespace detail {
void CountCreated();
void CountDeleted();
void DeleteHandle(HGDIOBJ handle);
} // namespace detail

// Owns one GDI object of kind H (HBRUSH, HPEN, HFONT, HBITMAP, HRGN) and deletes it.
template <class H> class GdiObject {
  public:
    GdiObject() = default;
    // Takes ownership; throws EOutOfResources when handle is null.
    explicit GdiObject(H handle) : handle_(Checked(handle)) { detail::CountCreated(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    void Reset() {
        if (handle_) {
            detail::DeleteHandle(handle_);
            detail::CountDeleted();
            handle_ = nullptr;
        }
    }
    // Gives up ownership (for calls that take the object over, such as SetWindowRgn).
    H Release() {
        if (handle_) detail::CountDeleted();
        return std::exchange(handle_, nullptr);
    }

  private:
    static H Checked(H handle);
    H handle_ = nullptr;
};

using BrushHandle = GdiObject<HBRUSH>;
using PenHandle = GdiObject<HPEN>;
using FontHandle = GdiObject<HFONT>;
using BitmapHandle = GdiObject<HBITMAP>;
using RegionHandle = GdiObject<HRGN>;

// A 32-bit top-down DIB section and its pixels: rows of 0x00RRGGBB words (bytes B, G, R, x),
// no padding. Throws EOutOfResources when Windows refuses.
struct DibSection {
    BitmapHandle handle;
    std::uint32_t* pixels = nullptr;
};
DibSection CreateTopDownDib(int width, int height);

// A memory device context compatible with the screen (or with another DC); DeleteDC at the end.
class MemoryDC {
  public:
    explicit MemoryDC(HDC compatibleWith = nullptr);
    MemoryDC(MemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    MemoryDC& operator=(MemoryDC&&) = delete;
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC();
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// GetDC on construction, ReleaseDC at the end; with wholeWindow, GetWindowDC (frame included).
// A null window gives the screen's DC.
class WindowDC {
  public:
    explicit WindowDC(HWND window, bool wholeWindow = false);
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC();
    HDC Get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back at the end.
class SelectObjectGuard {
  public:
    SelectObjectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;
    ~SelectObjectGuard() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC on construction, RestoreDC at the end: clip region, origins, selected objects, modes.
class SaveDCGuard {
  public:
    explicit SaveDCGuard(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    SaveDCGuard(const SaveDCGuard&) = delete;
    SaveDCGuard& operator=(const SaveDCGuard&) = delete;
    ~SaveDCGuard() {
        if (saved_) RestoreDC(dc_, saved_);
    }

  private:
    HDC dc_;
    int saved_;
};

} // namespace gui
