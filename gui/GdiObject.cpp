#include "gui/GdiObject.h"

#include "gui/Exception.h"

namespace gui {

namespace {
long liveObjects = 0; // GUI thread only
}

long LiveGdiObjectCount() {
    return liveObjects;
}

namespace detail {
void CountCreated() {
    ++liveObjects;
}
void CountDeleted() {
    --liveObjects;
}
void DeleteHandle(HGDIOBJ handle) {
    DeleteObject(handle);
}
} // namespace detail

template <class H> H GdiObject<H>::Checked(H handle) {
    if (!handle) throw EOutOfResources("Out of system resources");
    return handle;
}

template class GdiObject<HBRUSH>;
template class GdiObject<HPEN>;
template class GdiObject<HFONT>;
template class GdiObject<HBITMAP>;
template class GdiObject<HRGN>;

DibSection CreateTopDownDib(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    BitmapHandle owned(handle); // throws when Windows refused
    return DibSection{std::move(owned), static_cast<std::uint32_t*>(bits)};
}

MemoryDC::MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {
    if (!dc_) throw EOutOfResources("Out of system resources");
    detail::CountCreated();
}

MemoryDC::~MemoryDC() {
    if (dc_) {
        DeleteDC(dc_);
        detail::CountDeleted();
    }
}

WindowDC::WindowDC(HWND window, bool wholeWindow)
    : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {
    if (!dc_) throw EOutOfResources("Out of system resources");
    detail::CountCreated();
}

WindowDC::~WindowDC() {
    ReleaseDC(window_, dc_);
    detail::CountDeleted();
}

} // namespace gui
