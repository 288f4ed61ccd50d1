#include "gui/MenuList.h"

#include <algorithm>

#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/GdiObject.h"
#include "gui/ImageList.h"
#include "gui/ToolBar.h"

namespace gui {

namespace {

constexpr wchar_t kListClass[] = L"NimbreMenuList";
constexpr int kEdge = 3; // the raised edge and a pixel of menu colour inside it

// BeginPaint and EndPaint around a paint.
class ListPaint {
  public:
    explicit ListPaint(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    ~ListPaint() { EndPaint(hwnd_, &ps_); }
    ListPaint(const ListPaint&) = delete;
    ListPaint& operator=(const ListPaint&) = delete;
    HDC Dc() const { return dc_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// The caption as shown: single ampersands gone, doubled ones kept once.
std::string ShownCaption(const std::string& caption) {
    std::string shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        shown += caption[i];
    }
    return shown;
}

void SetMenuFont(Canvas& canvas, bool bold) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        canvas.Font().AssignLogFont(metrics.lfMenuFont, clMenuText);
    if (bold) canvas.Font().SetStyle(canvas.Font().Style() | fsBold);
}

bool OwnerDrawn(const MenuItem& item) {
    const MainMenu* menu = item.Menu();
    return menu != nullptr && (menu->OwnerDraw() || menu->Images() != nullptr);
}

bool HasImage(const MenuItem& item) {
    const MainMenu* menu = item.Menu();
    const ImageList* images = menu ? menu->Images() : nullptr;
    return images != nullptr && item.ImageIndex() >= 0 && item.ImageIndex() < images->Count();
}

// A small right-pointing triangle: the mark of an item that opens a further list.
void DrawSubMenuArrow(Canvas& canvas, const RECT& rect, TColor color) {
    const int x = rect.right - 10;
    const int y = (rect.top + rect.bottom) / 2;
    canvas.Pen().SetColor(color);
    for (int i = 0; i < 4; ++i) {
        canvas.MoveTo(x + i, y - 3 + i);
        canvas.LineTo(x + i, y + 4 - i);
    }
}

} // namespace

// --- drawing an item ------------------------------------------------------------

void DefaultMeasureItem(MenuItem& item, Canvas& canvas, int& width, int& height) {
    if (item.IsLine()) {
        width = 0;
        height = 9;
        return;
    }
    SetMenuFont(canvas, item.Default());
    width = canvas.TextWidth(ShownCaption(item.Caption())) + 32;
    const std::string shortCut = ShortCutToText(item.ShortCut());
    if (!shortCut.empty()) width += canvas.TextWidth(shortCut) + 20;
    height = std::max(canvas.TextHeight("Wg") + 6, 19);
}

void DefaultDrawItem(MenuItem& item, Canvas& canvas, const RECT& rect, bool selected) {
    const bool highlighted = selected && !item.IsLine();
    canvas.Brush().SetColor(highlighted ? clHighlight : clMenu);
    canvas.FillRect(rect);
    if (item.IsLine()) {
        const int y = (rect.top + rect.bottom) / 2 - 1;
        canvas.Pen().SetColor(clBtnShadow);
        canvas.MoveTo(rect.left + 1, y);
        canvas.LineTo(rect.right - 1, y);
        canvas.Pen().SetColor(clBtnHighlight);
        canvas.MoveTo(rect.left + 1, y + 1);
        canvas.LineTo(rect.right - 1, y + 1);
        return;
    }
    SetMenuFont(canvas, item.Default());
    const TColor text = !item.Enabled() ? clGrayText : highlighted ? clHighlightText : clMenuText;
    canvas.Font().SetColor(text);
    canvas.Brush().SetStyle(bsClear);
    const int h = rect.bottom - rect.top;
    if (HasImage(item)) {
        const ImageList& images = *item.Menu()->Images();
        images.Draw(canvas, rect.left + 2, rect.top + (h - images.Height()) / 2, item.ImageIndex(),
                    item.Enabled());
    } else if (item.Checked()) {
        const int x = rect.left + 6;
        const int y = rect.top + h / 2;
        canvas.Pen().SetColor(text);
        for (int dy = 0; dy < 2; ++dy)
            canvas.Polyline({POINT{x, y - 1 + dy}, POINT{x + 3, y + 2 + dy}, POINT{x + 9, y - 4 + dy}});
    }
    RECT captionRect{rect.left + 22, rect.top, rect.right, rect.bottom};
    canvas.DrawText(item.Caption(), captionRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    const std::string shortCut = ShortCutToText(item.ShortCut());
    if (!shortCut.empty()) {
        RECT shortCutRect{rect.left, rect.top, rect.right - 16, rect.bottom};
        canvas.DrawText(shortCut, shortCutRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
}

void MeasureMenuItem(MenuItem& item, Canvas& canvas, int& width, int& height) {
    DefaultMeasureItem(item, canvas, width, height);
    if (OwnerDrawn(item) && item.OnMeasureItem) item.OnMeasureItem(&item, canvas, width, height);
}

void DrawMenuItem(MenuItem& item, Canvas& canvas, const RECT& rect, bool selected) {
    if (OwnerDrawn(item) && item.OnDrawItem)
        item.OnDrawItem(&item, canvas, rect, selected);
    else
        DefaultDrawItem(item, canvas, rect, selected);
}

// --- the list window --------------------------------------------------------------

MenuList::MenuList(MenuItem& item, POINT screen, HWND owner) : item_(item) {
    static const ATOM registered = [] {
        WNDCLASSW wc{};
        wc.style = CS_SAVEBITS;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kListClass;
        return RegisterClassW(&wc);
    }();
    (void)registered;

    // Items one under the other, as wide as the widest.
    WindowDC screenDc(nullptr);
    int width = 0;
    int y = kEdge;
    for (int i = 0; i < item.Count(); ++i) {
        Canvas canvas(screenDc.Get());
        int w = 0;
        int h = 0;
        MeasureMenuItem(item.Items(i), canvas, w, h);
        if (item.Items(i).Count() > 0) w += 12; // room for the arrow
        width = std::max(width, w);
        rects_.push_back(RECT{kEdge, y, 0, y + h});
        y += h;
    }
    for (RECT& r : rects_)
        r.right = kEdge + width;
    const int w = width + 2 * kEdge;
    const int h = y + kEdge;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = std::max<int>(work.left, std::min<int>(screen.x, work.right - w));
    const int top = std::max<int>(work.top, std::min<int>(screen.y, work.bottom - h));
    handle_.Reset(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kListClass, L"",
                                  WS_POPUP, x, top, w, h, owner, nullptr, GetModuleHandleW(nullptr),
                                  nullptr));
    SetWindowLongPtrW(handle_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(handle_.Get(), SW_SHOWNA);
    UpdateWindow(handle_.Get());
}

MenuList::~MenuList() {
    handle_.Reset(); // while every member its window procedure may read is still here
}

void MenuList::Select(int index) {
    if (index == selected_) return;
    const int old = selected_;
    selected_ = index;
    WindowDC dc(handle_.Get());
    Canvas canvas(dc.Get());
    if (old >= 0) PaintItem(canvas, old);
    if (index >= 0) PaintItem(canvas, index);
}

int MenuList::ItemAt(POINT screen) const {
    POINT p = screen;
    ScreenToClient(handle_.Get(), &p);
    for (size_t i = 0; i < rects_.size(); ++i)
        if (PtInRect(&rects_[i], p)) return static_cast<int>(i);
    return -1;
}

bool MenuList::Contains(POINT screen) const {
    RECT r{};
    GetWindowRect(handle_.Get(), &r);
    return PtInRect(&r, screen) != 0;
}

RECT MenuList::ItemScreenRect(int index) const {
    RECT r = rects_.at(static_cast<size_t>(index));
    MapWindowPoints(handle_.Get(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int MenuList::NextSelectable(int index, int step) const {
    const int n = item_.Count();
    for (int i = 1; i <= n; ++i) {
        const int next = ((index + step * i) % n + n) % n;
        if (!item_.Items(next).IsLine()) return next;
    }
    return -1;
}

void MenuList::PaintItem(Canvas& canvas, int index) {
    MenuItem& item = item_.Items(index);
    const RECT& r = rects_[static_cast<size_t>(index)];
    const bool selected = index == selected_;
    DrawMenuItem(item, canvas, r, selected);
    if (item.Count() > 0) DrawSubMenuArrow(canvas, r, selected ? clHighlightText : clMenuText);
}

void MenuList::PaintTo(HDC dc) {
    RECT client{};
    GetClientRect(handle_.Get(), &client);
    Canvas canvas(dc);
    canvas.Brush().SetColor(clMenu);
    canvas.FillRect(client);
    DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
    for (size_t i = 0; i < rects_.size(); ++i)
        PaintItem(canvas, static_cast<int>(i));
}

LRESULT CALLBACK MenuList::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* list = reinterpret_cast<MenuList*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (list) {
            ListPaint paint(hwnd);
            list->PaintTo(paint.Dc());
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (list) list->PaintTo(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// --- the loop ---------------------------------------------------------------------

MenuItem* MenuLoop::Run(int button, bool openList, bool keyboard) {
    keyboard_ = keyboard;
    if (openList)
        OpenButton(button, keyboard);
    else {
        button_ = button;
        ShowBar();
    }
    SetCapture(bar_->Handle());
    while (!done_) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (GetCapture() != bar_->Handle()) break; // someone else took the mouse: the menu goes
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            Key(static_cast<UINT>(msg.wParam));
        } else if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP || msg.message == WM_CHAR ||
                   msg.message == WM_SYSCHAR) {
            // the menu's keys go no further
        } else if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                   (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK)) {
            Mouse(msg);
        } else {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (GetCapture() == bar_->Handle()) ReleaseCapture();
    CloseLists(0);
    bar_->ShowMenuState(-1, -1);
    return chosen_;
}

void MenuLoop::ShowBar() {
    bar_->ShowMenuState(button_, lists_.empty() ? -1 : button_);
}

void MenuLoop::OpenButton(int button, bool selectFirst) {
    CloseLists(0);
    button_ = button;
    MenuItem* item = bar_->Buttons(button).Item;
    if (item && item->Count() > 0) {
        const RECT& r = bar_->Buttons(button).Bounds;
        lists_.push_back(std::make_unique<MenuList>(*item, bar_->ClientToScreen(POINT{r.left, r.bottom}),
                                                    GetAncestor(bar_->Handle(), GA_ROOT)));
        if (selectFirst) lists_.back()->Select(lists_.back()->NextSelectable(-1, 1));
    }
    ShowBar();
}

void MenuLoop::CloseLists(size_t keep) {
    while (lists_.size() > keep)
        lists_.pop_back();
    if (keep == 0) ShowBar();
}

// Opens the list of the deepest list's selected item, beside it.
void MenuLoop::OpenSubList(bool selectFirst) {
    MenuList& list = *lists_.back();
    const int index = list.Selected();
    if (index < 0 || list.Item().Items(index).Count() == 0 || !list.Item().Items(index).Enabled()) return;
    const RECT r = list.ItemScreenRect(index);
    RECT frame{};
    GetWindowRect(list.Handle(), &frame);
    lists_.push_back(std::make_unique<MenuList>(list.Item().Items(index), POINT{frame.right - 3, r.top - 3},
                                                GetAncestor(bar_->Handle(), GA_ROOT)));
    if (selectFirst) lists_.back()->Select(lists_.back()->NextSelectable(-1, 1));
}

void MenuLoop::Choose(MenuItem& item) {
    if (!item.Enabled() || item.IsLine()) return;
    if (item.Count() > 0) {
        OpenSubList(true);
        return;
    }
    chosen_ = &item;
    done_ = true;
}

void MenuLoop::Key(UINT key) {
    const int buttons = bar_->ButtonCount();
    const bool open = !lists_.empty();
    switch (key) {
    case VK_MENU:
    case VK_F10:
        done_ = true;
        return;
    case VK_ESCAPE:
        if (lists_.size() > 1) {
            CloseLists(lists_.size() - 1);
        } else if (open && keyboard_) {
            CloseLists(0);
        } else {
            done_ = true;
        }
        return;
    case VK_LEFT:
        if (lists_.size() > 1) {
            CloseLists(lists_.size() - 1);
            return;
        }
        [[fallthrough]];
    case VK_RIGHT:
        if (key == VK_RIGHT && open) {
            MenuList& list = *lists_.back();
            if (list.Selected() >= 0 && list.Item().Items(list.Selected()).Count() > 0) {
                OpenSubList(true);
                return;
            }
        }
        if (buttons == 0) return;
        keyboard_ = true;
        button_ = ((button_ + (key == VK_RIGHT ? 1 : -1)) % buttons + buttons) % buttons;
        if (open)
            OpenButton(button_, true);
        else
            ShowBar();
        return;
    case VK_UP:
    case VK_DOWN:
        if (!open) {
            OpenButton(button_, true);
        } else {
            MenuList& list = *lists_.back();
            list.Select(list.NextSelectable(list.Selected() < 0 && key == VK_UP ? 0 : list.Selected(),
                                            key == VK_DOWN ? 1 : -1));
        }
        return;
    case VK_RETURN:
        if (!open) {
            MenuItem* item = bar_->Buttons(button_).Item;
            if (item && item->Count() > 0)
                OpenButton(button_, true);
            else if (item)
                Choose(*item);
        } else if (lists_.back()->Selected() >= 0) {
            Choose(lists_.back()->Item().Items(lists_.back()->Selected()));
        }
        return;
    default:
        break;
    }
    // An access key: of the deepest list's items, or of the bar's buttons.
    if (open) {
        MenuList& list = *lists_.back();
        for (int i = 0; i < list.Item().Count(); ++i) {
            if (list.Item().Items(i).AccessKey() != key) continue;
            list.Select(i);
            Choose(list.Item().Items(i));
            return;
        }
        return;
    }
    for (int b = 0; b < buttons; ++b) {
        MenuItem* item = bar_->Buttons(b).Item;
        if (!item || item->AccessKey() != key) continue;
        if (item->Count() > 0)
            OpenButton(b, true);
        else
            Choose(*item);
        return;
    }
}

void MenuLoop::Mouse(const MSG& msg) {
    const POINT p = msg.pt;
    // The deepest list under the point.
    int depth = -1;
    for (int i = static_cast<int>(lists_.size()) - 1; i >= 0 && depth < 0; --i)
        if (lists_[static_cast<size_t>(i)]->Contains(p)) depth = i;
    const POINT inBar = bar_->ScreenToClient(p);
    RECT barRect = bar_->ClientRect();
    const int button = PtInRect(&barRect, inBar) ? bar_->ButtonAt(inBar.x, inBar.y) : -1;

    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        if (depth >= 0) {
            MenuList& list = *lists_[static_cast<size_t>(depth)];
            const int index = list.ItemAt(p);
            if (index < 0 || index == list.Selected()) return;
            CloseLists(static_cast<size_t>(depth) + 1);
            list.Select(list.Item().Items(index).IsLine() ? -1 : index);
            if (list.Item().Items(index).Count() > 0) OpenSubList(false);
        } else if (button >= 0 && button != button_) {
            // Along the bar with a list open, the neighbour's list opens.
            if (!lists_.empty())
                OpenButton(button, false);
            else {
                button_ = button;
                ShowBar();
            }
        }
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        if (depth >= 0) return;
        if (button >= 0 && (button != button_ || lists_.empty())) {
            MenuItem* item = bar_->Buttons(button).Item;
            if (item && item->Count() == 0)
                Choose(*item);
            else
                OpenButton(button, false);
        } else {
            done_ = true; // outside the menu, or on the open list's own button
        }
        return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (depth >= 0) {
            MenuList& list = *lists_[static_cast<size_t>(depth)];
            const int index = list.ItemAt(p);
            if (index >= 0 && list.Item().Items(index).Count() == 0) Choose(list.Item().Items(index));
        }
        return;
    default:
        return;
    }
}

} // namespace gui
