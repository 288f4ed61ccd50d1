#include "gui/Control.h"

#include <algorithm>

#include "gui/Font.h"
#include "gui/Form.h"
#include "gui/Text.h"
#include "gui/WinControl.h"

namespace gui {

namespace {

// Decodes the UTF-8 character at text[i] and advances i past it.
unsigned NextCodePoint(const std::string& text, size_t& i) {
    const std::wstring wide = Utf8ToWide(std::string_view(text).substr(i, 4));
    // Work out how many bytes the first character took.
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = 1;
    if (lead >= 0xF0)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC0)
        length = 2;
    i += length;
    if (wide.empty()) return 0;
    if (wide.size() >= 2 && IS_HIGH_SURROGATE(wide[0]))
        return 0x10000 + ((wide[0] - 0xD800u) << 10) + (wide[1] - 0xDC00u);
    return wide[0];
}

unsigned UpperChar(unsigned ch) {
    if (ch > 0xFFFF) return ch;
    return static_cast<unsigned>(
               reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(ch))))) &
           0xFFFF;
}

} // namespace

bool IsAccel(unsigned ch, const std::string& caption) {
    size_t i = 0;
    while (i < caption.size()) {
        if (caption[i] != '&') {
            ++i;
            continue;
        }
        ++i;
        if (i >= caption.size()) return false;
        if (caption[i] == '&') { // "&&" is a plain ampersand
            ++i;
            continue;
        }
        const unsigned hot = NextCodePoint(caption, i);
        return UpperChar(hot) == UpperChar(ch);
    }
    return false;
}

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
    if (GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
    return s;
}

// --- construction -------------------------------------------------------------

Control::Control(Component* owner) : Component(owner), font_(std::make_unique<gui::Font>()) {
    WindowProc = [this](Message& msg) { WndProc(msg); };
    parentColor_ = true;
    font_->OnChange = [this] { FontChanged(); };
}

Control::~Control() {
    if (parent_ != nullptr) parent_->RemoveControl(this);
    font_->OnChange = nullptr;
}

// --- parent and place -----------------------------------------------------------

void Control::SetParent(WinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) return;
    if (parent_ != nullptr) parent_->RemoveControl(this);
    if (parent != nullptr) {
        parent->InsertControl(this);
        if (parentColor_) ParentColorChanged();
        if (parentFont_) ParentFontChanged();
    }
}

Form* Control::ParentForm() const {
    const Control* top = this;
    while (top->parent_ != nullptr)
        top = top->parent_;
    return dynamic_cast<Form*>(const_cast<Control*>(top));
}

void Control::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (width != width_ || height != height_) {
        int w = width, h = height;
        if (CanResize(w, h)) {
            ConstrainSize(w, h);
            width = w;
            height = h;
        } else {
            width = width_;
            height = height_;
        }
    }
    const bool moved = left != left_ || top != top_;
    const bool resized = width != width_ || height != height_;
    if (!moved && !resized) return;
    StoreBounds(left, top, width, height);
    BoundsChanged(moved, resized);
    RequestAlign();
}

void Control::StoreBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void Control::BoundsChanged(bool, bool resized) {
    if (resized && !IsLoading()) Resize();
}

void Control::RequestAlign() {
    if (parent_ != nullptr && align_ != alNone) parent_->Realign();
}

void Control::SetClientSize(int width, int height) {
    SetBounds(left_, top_, width, height);
}

POINT Control::ClientToScreen(POINT p) const {
    if (parent_ == nullptr) return POINT{p.x + left_, p.y + top_};
    return parent_->ClientToScreen(POINT{p.x + left_, p.y + top_});
}

POINT Control::ScreenToClient(POINT p) const {
    const POINT origin = ClientToScreen(POINT{0, 0});
    return POINT{p.x - origin.x, p.y - origin.y};
}

void Control::SetAlign(TAlign align) {
    if (align == align_) return;
    const TAlign old = align_;
    align_ = align;
    if (parent_ != nullptr && (old != alNone || align != alNone)) parent_->Realign();
}

void Control::SetConstraints(const SizeConstraints& c) {
    constraints_ = c;
    int w = width_, h = height_;
    ConstrainSize(w, h);
    if (w != width_ || h != height_) SetBounds(left_, top_, w, h);
}

void Control::SetMinWidth(int v) {
    SizeConstraints c = constraints_;
    c.MinWidth = v;
    SetConstraints(c);
}
void Control::SetMinHeight(int v) {
    SizeConstraints c = constraints_;
    c.MinHeight = v;
    SetConstraints(c);
}
void Control::SetMaxWidth(int v) {
    SizeConstraints c = constraints_;
    c.MaxWidth = v;
    SetConstraints(c);
}
void Control::SetMaxHeight(int v) {
    SizeConstraints c = constraints_;
    c.MaxHeight = v;
    SetConstraints(c);
}

void Control::ConstrainSize(int& width, int& height) const {
    if (constraints_.MaxWidth > 0 && width > constraints_.MaxWidth) width = constraints_.MaxWidth;
    if (constraints_.MinWidth > 0 && width < constraints_.MinWidth) width = constraints_.MinWidth;
    if (constraints_.MaxHeight > 0 && height > constraints_.MaxHeight) height = constraints_.MaxHeight;
    if (constraints_.MinHeight > 0 && height < constraints_.MinHeight) height = constraints_.MinHeight;
}

bool Control::CanResize(int& newWidth, int& newHeight) {
    bool resize = true;
    if (OnCanResize) OnCanResize(this, newWidth, newHeight, resize);
    return resize;
}

// --- state ------------------------------------------------------------------------

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
    RequestAlign();
}

void Control::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void Control::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    Perform(CM_COLORCHANGED);
}

void Control::SetParentColor(bool v) {
    parentColor_ = v;
    if (v && parent_ != nullptr) ParentColorChanged();
}

void Control::ParentColorChanged() {
    if (parent_ == nullptr || !parentColor_) return;
    if (color_ != parent_->Color()) {
        color_ = parent_->Color();
        Perform(CM_COLORCHANGED);
    }
}

void Control::SetFont(const gui::Font& font) {
    font_->Assign(font);
}

void Control::SetParentFont(bool v) {
    parentFont_ = v;
    if (v && parent_ != nullptr) ParentFontChanged();
}

void Control::ParentFontChanged() {
    if (parent_ == nullptr || !parentFont_) return;
    fontFromParent_ = true;
    try {
        font_->Assign(parent_->Font());
    } catch (...) {
        fontFromParent_ = false;
        throw;
    }
    fontFromParent_ = false;
}

void Control::FontChanged() {
    if (!fontFromParent_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void Control::SetCaption(const std::string& text) {
    if (text == caption_) return;
    caption_ = text;
    if (auto* w = dynamic_cast<WinControl*>(this); w != nullptr && w->HandleAllocated())
        SetWindowTextW(w->Handle(), Utf8ToWide(caption_).c_str());
    Perform(CM_TEXTCHANGED);
}

int Control::TabOrder() const {
    if (parent_ == nullptr) return -1;
    const auto& list = parent_->TabList();
    auto it = std::find(list.begin(), list.end(), static_cast<const Control*>(this));
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void Control::SetTabOrder(int order) {
    if (parent_ == nullptr) return;
    if (auto* w = dynamic_cast<WinControl*>(this)) parent_->UpdateTabOrder(w, order);
}

// --- messages ----------------------------------------------------------------------

LRESULT Control::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    Message m{msg, wParam, lParam, 0};
    HandleWindowMessage(m);
    return m.Result;
}

namespace {
// Hands the message to hooks[count - 1], whose `next` goes on down the list.
void RunHooks(const std::vector<std::shared_ptr<Control::WindowProcHook>>& hooks, std::size_t count,
              Message& msg, const std::function<void(Message&)>& last) {
    if (count == 0) {
        last(msg);
        return;
    }
    (*hooks[count - 1])(msg, [&](Message& m) { RunHooks(hooks, count - 1, m, last); });
}
} // namespace

void Control::HandleWindowMessage(Message& msg) {
    const std::function<void(Message&)> own = [this](Message& m) {
        if (WindowProc)
            WindowProc(m);
        else
            WndProc(m);
    };
    if (hooks_.Empty()) {
        own(msg);
        return;
    }
    const auto hooks = hooks_.Snapshot();
    RunHooks(hooks, hooks.size(), msg, own);
}

void Control::WndProc(Message& msg) {
    switch (msg.Msg) {
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    case CM_PARENTFONTCHANGED:
        ParentFontChanged();
        break;
    case CM_PARENTCOLORCHANGED:
        ParentColorChanged();
        break;
    case CM_MOUSEENTER:
        mouseInControl_ = true;
        if (OnMouseEnter) OnMouseEnter(this);
        break;
    case CM_MOUSELEAVE:
        mouseInControl_ = false;
        if (OnMouseLeave) OnMouseLeave(this);
        break;
    default:
        DefaultHandler(msg);
        break;
    }
}

void Control::DefaultHandler(Message&) {}

void Control::Notification(Component* component, TOperation operation) {
    Component::Notification(component, operation);
}

// --- input hooks -------------------------------------------------------------------

void Control::Click() {
    if (OnClick) OnClick(this);
}
void Control::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
void Control::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void Control::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void Control::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void Control::KeyDown(std::uint16_t& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}
void Control::KeyPress(wchar_t& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}
void Control::KeyUp(std::uint16_t& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}
void Control::Resize() {
    if (OnResize) OnResize(this);
}

} // namespace gui
