#include "skin/SUIForm.h"

#include <typeinfo>

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/MainMenu.h"
#include "gui/MessageDialog.h"
#include "gui/OffscreenPaint.h"
#include "gui/ToolBar.h"
#include "skin/SUIImagePanel.h"
#include "skin/SUIMainMenu.h"
#include "skin/SUIPublic.h"

namespace sui {

namespace {

// Shared by every frame of the program: the size messages a form designed maximised has let
// through unchanged. Never reset.
int maximizedSizeCounter = 0;

// The two bitmaps of the styles whose frame background is a pattern.
const char* BackgroundName(TsuiUIStyle style) {
    switch (style) {
    case TsuiUIStyle::MacOS:
        return "MACOS_FORM_BACKGROUND";
    case TsuiUIStyle::Protein:
        return "PROTEIN_FORM_BACKGROUND";
    default:
        return nullptr;
    }
}

} // namespace

int TsuiForm::MaximizedSizeCounter() {
    return maximizedSizeCounter;
}

// --- construction -------------------------------------------------------------

TsuiForm::TsuiForm(gui::Component* owner) : gui::Panel(owner) {
    ownerForm_ = dynamic_cast<gui::Form*>(owner);
    if (ownerForm_) {
        // Refused before anything on the form changes.
        for (int i = 0; i < ownerForm_->ControlCount(); ++i) {
            if (dynamic_cast<TsuiForm*>(ownerForm_->Controls(i)))
                throw gui::Exception("Sorry, You can create only one TsuiForm component in one form!");
        }
        ownerForm_->SetMinHeight(50);
        ownerForm_->SetMinWidth(125);
        designedBounds_ = ownerForm_->BoundsRect();
        wasMaximized_ = ownerForm_->WindowState() == gui::wsMaximized;
    }
    titleBar_ = new TsuiTitleBar(this);
    titleBar_->SetParent(this);
    menuBarColor_ = Color();
    menuBarHeight_ = 22;
    if (ownerForm_) {
        designedBorderStyle_ = ownerForm_->BorderStyle();
        SetParent(ownerForm_);
    }
    SetUIStyle(TsuiUIStyle::DeepBlue);
    SetBevelOuter(gui::bvNone);
    SetBevelInner(gui::bvNone);
    gui::Panel::SetBorderWidth(0);
    SetAlign(gui::alNone);
    if (!ownerForm_) return;
    SetCaption(ownerForm_->Caption());
    gui::Panel::SetCaption(" ");
    RECT workArea{};
    GetWorkAreaRect(workArea);
    ownerForm_->SetMaxHeight(workArea.bottom - workArea.top);
    ownerForm_->SetMaxWidth(workArea.right - workArea.left);
    if (!IsDesigning()) HookOwnerForm();
}

TsuiForm::~TsuiForm() {
    // The tokens take the application filter and the form's hook away: a frame that goes before
    // its form leaves the form its own window procedure.
    applicationFilter_.Reset();
    ownerFormHook_.Reset();
    FreeMenuBar();
}

void TsuiForm::HookOwnerForm() {
    ownerForm_->SetBorderStyle(gui::bsNone);
    ownerForm_->HandleNeeded();
    ownerFormHook_ = ownerForm_->AddWindowProcHook(
        [this](gui::Message& msg, const std::function<void(gui::Message&)>& previous) {
            OwnerFormWindowProc(msg, previous);
        });
    // The first frame of an application with no filter yet installs the shortcut filter.
    gui::Application& app = gui::App();
    if (app.MessageFilterCount() == 0) {
        applicationFilter_ = app.AddMessageFilter([this](MSG& msg, bool& handled) {
            if (msg.message == WM_KEYDOWN && DispatchShortCut(msg.wParam, msg.lParam) == 1) handled = true;
        });
    }
}

// --- setters ------------------------------------------------------------------

void TsuiForm::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    if (style == TsuiUIStyle::Custom) return;
    SetBorderColor(GetThemeColor(style, thFormBorderColor));
    SetBorderWidth(GetThemeInteger(style, thFormBorderWidth));
    SetColor(GetThemeColor(style, thFormColor));
    SetMenuBarColor(Color());
    titleBar_->SetUIStyle(style);
    if (auto* menu = dynamic_cast<TsuiMainMenu*>(menu_); menu && menu->UIStyle() != TsuiUIStyle::Custom)
        menu->SetUIStyle(style);
    ApplyStyleToContainers(this, style);
    ApplyStyleToChildren(this, style);
    UpdateFrameBounds();
    Repaint();
    DrawFormBorder();
}

void TsuiForm::SetBorderColor(gui::TColor color) {
    borderColor_ = color;
    UpdateFrameBounds();
    DrawFormBorder();
}

void TsuiForm::SetBorderWidth(int width) {
    borderWidth_ = width;
    UpdateFrameBounds();
    DrawFormBorder();
}

void TsuiForm::SetCaption(const std::string& caption) {
    titleBar_->SetCaption(caption);
    if (ownerForm_) ownerForm_->SetCaption(caption);
}

void TsuiForm::SetFormPanel(gui::Panel* panel) {
    if (panel == this) {
        gui::ShowError("Sorry, you can't select the Form assign to FormPanel property");
        return;
    }
    formPanel_ = panel;
    if (!panel) return;
    panel->SetAlign(gui::alClient);
    if (dynamic_cast<TsuiImagePanel*>(panel)) {
        panel->SetCaption("");
    } else if (typeid(*panel) == typeid(gui::Panel)) {
        panel->SetBevelOuter(gui::bvNone);
        panel->SetBevelInner(gui::bvNone);
        panel->SetBorderWidth(0);
        panel->SetCaption("");
    }
}

void TsuiForm::SetMenu(gui::MainMenu* menu) {
    menu_ = menu;
    if (!menu) {
        FreeMenuBar();
        return;
    }
    if (!menuBar_) CreateMenuBar();
    UpdateMenuBarFont();
    UpdateMenuBar();
}

void TsuiForm::SetMenuBarColor(gui::TColor color) {
    menuBarColor_ = color;
    if (menuBar_) menuBar_->SetColor(color);
}

void TsuiForm::SetMenuBarHeight(int height) {
    menuBarHeight_ = height;
    if (menuBar_) {
        menuBar_->SetHeight(height);
        menuBar_->SetButtonHeight(height);
    }
}

void TsuiForm::SetHeight(int height) {
    gui::Panel::SetHeight(height);
    if (ownerForm_) ownerForm_->SetClientHeight(height + borderWidth_);
}

void TsuiForm::SetWidth(int width) {
    gui::Panel::SetWidth(width);
    if (ownerForm_) ownerForm_->SetClientWidth(width + 2 * borderWidth_);
}

// --- frame geometry and border ------------------------------------------------------

void TsuiForm::UpdateFrameBounds() {
    if (!ownerForm_) return;
    const int cw = ownerForm_->ClientWidth();
    const int ch = ownerForm_->ClientHeight();
    SetBounds(borderWidth_, 0, cw - 2 * borderWidth_, ch - borderWidth_);
}

void TsuiForm::DrawFormBorder() {
    if (!ownerForm_ || !ownerForm_->HandleAllocated()) return;
    const int cw = ownerForm_->ClientWidth();
    const int ch = ownerForm_->ClientHeight();
    const int bw = borderWidth_;
    gui::Canvas& canvas = ownerForm_->Canvas();
    canvas.Brush().SetColor(borderColor_);
    canvas.Pen().SetColor(borderColor_);
    canvas.FillRect(gui::MakeRect(0, 0, bw, ch));
    canvas.FillRect(gui::MakeRect(0, ch - bw, cw, ch));
    canvas.FillRect(gui::MakeRect(cw - bw, 0, cw, ch));
}

// --- the menu bar ---------------------------------------------------------------

void TsuiForm::CreateMenuBar() {
    menuBar_ = new gui::ToolBar(this);
    menuBar_->SetParent(this);
    menuBar_->SetAlign(gui::alTop);
    menuBar_->SetHeight(menuBarHeight_);
    menuBar_->SetButtonHeight(menuBarHeight_);
    menuBar_->SetColor(menuBarColor_);
    menuBar_->OnCustomDraw = [this](gui::ToolBar* bar, const RECT& rect, bool& defaultDraw) {
        if (MenuStyle() != TsuiUIStyle::MacOS) return;
        gui::Bitmap picture;
        picture.LoadFromResourceName(gui::App().ModuleHandle(), "MACOS_MENU_BAR");
        bar->Canvas().StretchDraw(rect, picture);
        defaultDraw = false;
    };
    if (!IsDesigning()) {
        menuBar_->OnCustomDrawButton = [this](gui::ToolBar* bar, int index, bool hot, bool pressed,
                                              bool& defaultDraw) {
            DrawMenuBarButton(*bar, index, hot, pressed, defaultDraw);
        };
    }
    titleBar_->SetTop(0);
    if (ownerForm_ && !IsDesigning()) ownerForm_->SetMenuBar(menuBar_);
}

void TsuiForm::FreeMenuBar() {
    if (ownerForm_ && ownerForm_->MenuBar() == menuBar_) ownerForm_->SetMenuBar(nullptr);
    delete menuBar_;
    menuBar_ = nullptr;
}

void TsuiForm::UpdateMenuBar() {
    if (!menuBar_) return;
    if (!menu_) {
        FreeMenuBar();
        return;
    }
    menuBar_->ClearButtons();
    gui::MenuItem& items = menu_->Items();
    for (int i = 0; i < items.Count(); ++i)
        menuBar_->AddButton(&items.Items(i));
}

void TsuiForm::UpdateMenuBarFont() {
    if (!menuBar_ || !menu_) return;
    if (auto* menu = dynamic_cast<TsuiMainMenu*>(menu_)) {
        gui::Font font = menuBar_->Font();
        menu->ApplyItemFont(font);
        menuBar_->SetFont(font);
    }
    menuBar_->Repaint();
}

TsuiUIStyle TsuiForm::MenuStyle() const {
    if (auto* menu = dynamic_cast<TsuiMainMenu*>(menu_)) return menu->UIStyle();
    return uiStyle_;
}

// A bar button under the mouse or with its list open, in the style's menu colours; the others
// are the tool bar's own.
void TsuiForm::DrawMenuBarButton(gui::ToolBar& bar, int index, bool hot, bool pressed, bool& defaultDraw) {
    const TsuiUIStyle style = MenuStyle();
    gui::Canvas& canvas = bar.Canvas();
    if (auto* menu = dynamic_cast<TsuiMainMenu*>(menu_)) {
        menu->ApplyItemFont(canvas.Font());
        if (!menu->UseSystemFont()) canvas.Font().SetColor(menu->FontColor());
    }
    if (!hot && !pressed) return;
    const gui::ToolButton& button = bar.Buttons(index);
    RECT r = button.Bounds;
    if (style == TsuiUIStyle::MacOS) {
        gui::Bitmap face(r.right - r.left, r.bottom - r.top);
        gui::Bitmap select;
        select.LoadFromResourceName(gui::App().ModuleHandle(), "MACOS_MENU_SELECT");
        face.Canvas().StretchDraw(gui::MakeRect(0, 0, face.Width(), face.Height()), select);
        face.Canvas().Brush().SetStyle(gui::bsClear);
        face.Canvas().Font().SetColor(GetThemeColor(style, thMenuSelectedFontColor));
        RECT inner = gui::MakeRect(0, 0, face.Width(), face.Height());
        face.Canvas().DrawText(button.Caption, inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        canvas.Draw(r.left, r.top, face);
        defaultDraw = false;
        return;
    }
    if (pressed) r.right -= 2;
    canvas.Brush().SetColor(GetThemeColor(style, thMenuSelectedColor));
    canvas.FillRect(r);
    canvas.Brush().SetColor(GetThemeColor(style, thMenuSelectedBorderColor));
    canvas.FrameRect(r);
    if (pressed) r.left += 2;
    r.top += 2;
    canvas.Brush().SetStyle(gui::bsClear);
    canvas.Font().SetColor(GetThemeColor(style, thMenuSelectedFontColor));
    canvas.DrawText(button.Caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (pressed) {
        canvas.Pen().SetColor(GetThemeColor(style, thMenuBarSeparatorColor));
        canvas.Rectangle(r.right, r.top, r.right + 2, r.bottom);
    }
    defaultDraw = false;
}

LRESULT TsuiForm::DispatchShortCut(WPARAM key, LPARAM) {
    if (!menu_) return 0;
    return menu_->IsShortCut(static_cast<std::uint16_t>(key)) ? 1 : 0;
}

// --- drawing ------------------------------------------------------------------

// The MacOS and Protein frames are tiled with their 8 x 8 pattern, the others take Color.
void TsuiForm::Paint() {
    gui::Canvas& canvas = Canvas();
    const RECT client = ClientRect();
    if (const char* name = BackgroundName(uiStyle_)) {
        gui::Bitmap pattern;
        pattern.LoadFromResourceName(gui::App().ModuleHandle(), name);
        gui::OffscreenPaint face(Width(), Height());
        face.Canvas().Brush().SetBitmap(&pattern);
        face.Canvas().FillRect(client);
        face.Canvas().Brush().SetBitmap(nullptr);
        face.Present(canvas.Handle());
    } else {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(client);
    }
    if (IsDesigning()) {
        UpdateFrameBounds();
        DrawFormBorder();
    }
}

// --- messages -------------------------------------------------------------------

void TsuiForm::CreateHandle() {
    gui::Panel::CreateHandle();
    UpdateFrameBounds();
    DrawFormBorder();
}

void TsuiForm::WndProc(gui::Message& msg) {
    if (msg.Msg == WM_ERASEBKGND) {
        DrawFormBorder();
        msg.Result = 1;
        return;
    }
    gui::Panel::WndProc(msg);
}

void TsuiForm::Notification(gui::Component* component, gui::TOperation operation) {
    gui::Panel::Notification(component, operation);
    if (operation == gui::opRemove) {
        if (component == formPanel_) formPanel_ = nullptr;
        if (component == menu_) {
            FreeMenuBar();
            menu_ = nullptr;
        }
        if (component == menuBar_) menuBar_ = nullptr;
        if (component == this && ownerForm_) ownerForm_->Repaint();
    } else if (operation == gui::opInsert && IsDesigning() && !IsLoading()) {
        if (dynamic_cast<gui::MainMenu*>(component) && !dynamic_cast<TsuiMainMenu*>(component) &&
            ownerForm_) {
            gui::ShowInformation(
                "Strongly recommend you to use \"TsuiMainMenu\" instead of \"TMainMenu\".\r\n\r\n"
                "If you still want to use TMainForm, \r\n\r\nset " +
                ownerForm_->Name() + "'s MENU property to NIL please.\r\n\r\nAnd set " + Name() +
                "'s MENU property to this Menu when you finished designing the menu.");
        }
    }
}

// Every message goes to the form's own procedure first; then the frame adds its part.
void TsuiForm::OwnerFormWindowProc(gui::Message& msg, const std::function<void(gui::Message&)>& previous) {
    previous(msg);
    switch (msg.Msg) {
    case WM_KEYDOWN:
        msg.Result = DispatchShortCut(msg.WParam, msg.LParam);
        break;
    case WM_SHOWWINDOW:
        ownerForm_->SetMenu(nullptr);
        break;
    case WM_ACTIVATE:
        titleBar_->SetFormActive(LOWORD(msg.WParam) != WA_INACTIVE);
        break;
    case WM_SIZE:
        MaximizeBookkeeping();
        UpdateFrameBounds();
        DrawFormBorder();
        titleBar_->UpdateFormRegion(titleBar_->CornerSize());
        break;
    case WM_ERASEBKGND:
        DrawFormBorder();
        break;
    case WM_NCHITTEST:
        ResizeHitTest(msg);
        break;
    default:
        break;
    }
}

// Sizing bands: 5 pixels at the left and top, 4 at the right and bottom.
void TsuiForm::ResizeHitTest(gui::Message& msg) {
    if (ownerForm_->WindowState() == gui::wsMaximized || designedBorderStyle_ != gui::bsSizeable) return;
    POINT p{static_cast<short>(LOWORD(msg.LParam)), static_cast<short>(HIWORD(msg.LParam))};
    p = ownerForm_->ScreenToClient(p);
    const int w = ownerForm_->Width();
    const int h = ownerForm_->Height();
    const bool left = p.x < 5;
    const bool top = p.y < 5;
    const bool right = p.x > w - 5;
    const bool bottom = p.y > h - 5;
    if (left && top)
        msg.Result = HTTOPLEFT;
    else if (right && top)
        msg.Result = HTTOPRIGHT;
    else if (right && bottom)
        msg.Result = HTBOTTOMRIGHT;
    else if (left && bottom)
        msg.Result = HTBOTTOMLEFT;
    else if (left)
        msg.Result = HTLEFT;
    else if (top)
        msg.Result = HTTOP;
    else if (right)
        msg.Result = HTRIGHT;
    else if (bottom)
        msg.Result = HTBOTTOM;
}

// A form designed maximised: the first two size messages pass, later ones keep it on the work
// area's origin; the first restore puts the designed bounds back once.
void TsuiForm::MaximizeBookkeeping() {
    if (!wasMaximized_) return;
    if (ownerForm_->WindowState() != gui::wsMaximized) {
        wasMaximized_ = false;
        SetFormBounds(ownerForm_, designedBounds_);
        return;
    }
    if (maximizedSizeCounter == 2) {
        RECT workArea{};
        GetWorkAreaRect(workArea);
        ownerForm_->SetWindowState(gui::wsMaximized);
        ownerForm_->SetLeft(workArea.left);
        ownerForm_->SetTop(workArea.top);
    } else {
        ++maximizedSizeCounter;
    }
}

} // namespace sui
