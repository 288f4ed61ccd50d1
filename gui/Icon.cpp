#include "gui/Icon.h"

#include "gui/Canvas.h"
#include "gui/Exception.h"
#include "gui/GdiObject.h"
#include "gui/Text.h"

namespace gui {

Icon::Icon(const Icon& other) : Graphic(other), size_(other.size_) {
    if (other.handle_) {
        handle_.Reset(CopyIcon(other.handle_.Get()));
        if (!handle_) throw EOutOfResources("Out of system resources");
        detail::CountCreated();
    }
}

Icon::~Icon() {
    Reset();
}

void Icon::Reset() {
    if (handle_) {
        handle_.Reset();
        detail::CountDeleted();
    }
}

void Icon::LoadFromResourceName(HINSTANCE module, const std::string& name) {
    const std::wstring wideName = Utf8ToWide(name);
    if (!FindResourceW(module, wideName.c_str(), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */))
        throw EResNotFound(FormatMessageText("Resource %s not found", name));
    HICON icon = static_cast<HICON>(LoadImageW(module, wideName.c_str(), IMAGE_ICON, 16, 16, 0));
    if (!icon) throw EResNotFound(FormatMessageText("Resource %s not found", name));
    Reset();
    handle_.Reset(icon);
    size_ = 16;
    detail::CountCreated();
    Changed();
}

void Icon::Draw(Canvas& canvas, const RECT& dest) const {
    if (!handle_) return;
    DrawIconEx(canvas.Handle(), dest.left, dest.top, handle_.Get(), dest.right - dest.left,
               dest.bottom - dest.top, 0, nullptr, DI_NORMAL);
}

std::unique_ptr<Graphic> Icon::Clone() const {
    return std::make_unique<Icon>(*this);
}

} // namespace gui
