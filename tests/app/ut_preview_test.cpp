// The preview window in-process under Wine: its layout, the link line and
// the shell, "Config...." opening a fresh modal settings dialog each time,
// WM_QUIT sent to its window, and its place inside a foreign window.
#include "app/ut_preview.h"

#include "gui/Application.h"
#include "skin/SUIResDef.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/app/DialogChecks.h"

using sui::TsuiTitleBarBtnType;
using sui::TsuiUIStyle;
using namespace dialogtest;

namespace {

struct RecordingShell : ShellOpener {
    std::vector<std::string> opened;
    void Open(const std::string& address) override { opened.push_back(address); }
};

struct Preview {
    RecordingShell shell;
    int reads = 0;
    std::vector<bool> previewEnabledWhileDialogUp;
    std::vector<std::int32_t> written;
    std::unique_ptr<Tfrm_preview> window;

    Preview() {
        Tfrm_preview::Surroundings s;
        s.shell = &shell;
        s.settings.readTimeoutSeconds = [this] {
            ++reads;
            previewEnabledWhileDialogUp.push_back(IsWindowEnabled(window->Handle()) != FALSE);
            // Every dialog reads afresh; this one closes as soon as it has read.
            PostMessageW(window->LastDialog()->Handle(), WM_CLOSE, 0, 0);
            return 60 * (reads + 4);
        };
        s.settings.readSoundOff = [] { return false; };
        s.settings.writeSettings = [this](std::int32_t minutes, bool) { written.push_back(minutes); };
        window = std::make_unique<Tfrm_preview>(nullptr, s);
    }
};

// Writes the top-left corner of a window's client area as a 32-bit .bmp file.
void SaveWindowPicture(HWND window, int width, int height, const std::string& path) {
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(width * height * 4);
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
        std::fwrite(bits, 4, static_cast<size_t>(width * height), f);
        std::fclose(f);
    }
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(window, dc);
}

} // namespace

TEST(PreviewWindow, WindowAndFrameAsLaidOut) {
    Preview p;
    Tfrm_preview& w = *p.window;
    EXPECT_EQ(w.BorderStyle(), gui::bsNone);
    EXPECT_EQ(w.Caption(), "Nimbre Screen Saver");
    EXPECT_EQ(w.ClientWidth(), 160);
    EXPECT_EQ(w.ClientHeight(), 114);
    EXPECT_EQ(w.Color(), gui::clBlack);
    EXPECT_EQ(w.Font().Name(), "Arial");
    EXPECT_EQ(w.Font().Height(), -12);
    EXPECT_EQ(w.FormStyle(), gui::fsStayOnTop);

    sui::TsuiForm& f = *w.suiForm1;
    ExpectBounds(f, {1, 0, 158, 113}, "suiForm1");
    EXPECT_EQ(f.UIStyle(), TsuiUIStyle::Protein);
    EXPECT_EQ(f.Color(), 0xFBFBFBu);
    EXPECT_EQ(f.Caption(), "Nimbre Screen Saver");
    EXPECT_EQ(f.Font().Name(), "MS Sans Serif");
    EXPECT_EQ(f.Font().Height(), -11);
    // One button, the control box; no close button.
    ASSERT_EQ(f.TitleBarButtons().Count(), 1);
    EXPECT_EQ(f.TitleBarButtons().Items(0).ButtonType(), TsuiTitleBarBtnType::suiControlBox);
    EXPECT_EQ(f.TitleBarButtons().Items(0).PicNormal().Width(), 19);
    ASSERT_EQ(f.TitleBarSections().Count(), 3);
    EXPECT_EQ(f.TitleBarSections().Items(0).Width(), 441);
    EXPECT_EQ(f.TitleBarSections().Items(2).Align(), sui::TsuiTitleBarAlign::suiClient);
}

TEST(PreviewWindow, PanelsAndButtonAsLaidOut) {
    Preview p;
    Tfrm_preview& w = *p.window;
    ExpectBounds(*w.suiImagePanel1, {0, 88, 158, 25}, "suiImagePanel1");
    EXPECT_EQ(w.suiImagePanel1->Align(), gui::alBottom);
    EXPECT_EQ(w.suiImagePanel1->Cursor(), gui::crHandPoint);
    ExpectBounds(*w.suiImagePanel2, {0, 23, 56, 43}, "suiImagePanel2");
    EXPECT_EQ(w.suiImagePanel2->Picture().Width(), 51);
    EXPECT_EQ(w.suiImagePanel2->Picture().Height(), 43);
    ExpectBounds(*w.suiImagePanel3, {56, 23, 102, 43}, "suiImagePanel3");
    EXPECT_EQ(w.suiImagePanel3->Align(), gui::alClient);
    EXPECT_EQ(w.suiImagePanel3->Font().Color(), gui::clBlue);
    ExpectBounds(*w.suiImagePanel4, {0, 66, 158, 22}, "suiImagePanel4");
    EXPECT_EQ(w.suiImagePanel4->Align(), gui::alBottom);
    EXPECT_EQ(w.suiImagePanel5->Parent(), w.suiImagePanel4);
    ExpectBounds(*w.suiImagePanel5, {1, 1, 9, 20}, "suiImagePanel5");
    EXPECT_EQ(w.suiImagePanel6->Parent(), w.suiImagePanel4);
    ExpectBounds(*w.suiImagePanel6, {10, 1, 147, 20}, "suiImagePanel6");
    EXPECT_EQ(w.suiImagePanel6->Picture().Width(), 127);
    EXPECT_EQ(w.suiImagePanel6->Picture().Height(), 27);

    sui::TsuiButton& b = *w.suiButton1;
    EXPECT_EQ(b.Parent(), w.suiImagePanel3);
    ExpectBounds(b, {0, 11, 89, 23}, "suiButton1");
    EXPECT_EQ(b.Caption(), "Config....");
    EXPECT_EQ(b.Cursor(), gui::crHandPoint);
    EXPECT_EQ(b.UIStyle(), TsuiUIStyle::Protein);
    EXPECT_EQ(b.ModalResult(), gui::mrNone);
    EXPECT_EQ(b.Font().Color(), gui::clBlue); // from its panel
}

TEST(PreviewWindow, LinkLineShowsTheAddressWithoutSchemeAndOpensIt) {
    Preview p;
    Tfrm_preview& w = *p.window;
    w.Show();
    Pump();
    std::string caption = w.suiImagePanel1->Caption();
    ASSERT_FALSE(caption.empty());
    SendClick(*w.suiImagePanel1);
    ASSERT_EQ(p.shell.opened.size(), 1u);
    EXPECT_EQ(p.shell.opened[0], "http://" + caption);
    EXPECT_EQ(p.reads, 0); // no dialog
    w.Hide();
}

TEST(PreviewWindow, EachConfigPressOpensANewModalDialogThatReadsAfresh) {
    Preview p;
    Tfrm_preview& w = *p.window;
    w.Show();
    Pump();
    SendClick(*w.suiButton1);
    Tfrm_config* first = w.LastDialog();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Owner(), &w);
    EXPECT_FALSE(first->Visible());
    SendClick(*w.suiButton1);
    Tfrm_config* second = w.LastDialog();
    EXPECT_NE(second, first);
    EXPECT_EQ(second->Owner(), &w);
    EXPECT_EQ(w.DialogCount(), 2);
    EXPECT_EQ(p.reads, 2);
    // The preview was blocked while each dialog was up, and is usable again.
    EXPECT_EQ(p.previewEnabledWhileDialogUp, (std::vector<bool>{false, false}));
    EXPECT_TRUE(IsWindowEnabled(w.Handle()));
    // Each stored what it had read (5 and 6 minutes).
    EXPECT_EQ(p.written, (std::vector<std::int32_t>{5, 6}));
    EXPECT_TRUE(p.shell.opened.empty());
    w.Hide();
}

TEST(PreviewWindow, QuitMessageSentToTheWindowClosesIt) {
    Preview p;
    Tfrm_preview& w = *p.window;
    bool closed = false;
    w.OnClose = [&](gui::Component*, gui::TCloseAction&) { closed = true; };
    w.Show();
    Pump();
    ASSERT_TRUE(IsWindowVisible(w.Handle()));
    SendMessageW(w.Handle(), WM_QUIT, 0, 0);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(w.Visible());
    EXPECT_FALSE(gui::App().Terminated());
}

TEST(PreviewWindow, SitsAtTheTopLeftOfAForeignWindowAndClosesWhenItGoes) {
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 400, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    Preview p;
    Tfrm_preview& w = *p.window;
    bool closed = false;
    w.OnClose = [&](gui::Component*, gui::TCloseAction&) { closed = true; };
    w.SetParentWindow(host);
    w.SetVisible(true);
    w.SetLeft(0);
    w.SetTop(0);
    Pump();
    EXPECT_EQ(GetParent(w.Handle()), host);
    EXPECT_NE(GetWindowLongW(w.Handle(), GWL_STYLE) & WS_CHILD, 0);
    POINT origin{0, 0};
    ClientToScreen(host, &origin);
    RECT r{};
    GetWindowRect(w.Handle(), &r);
    EXPECT_EQ(r.left, origin.x);
    EXPECT_EQ(r.top, origin.y);
    EXPECT_EQ(r.right - r.left, 160);
    EXPECT_EQ(r.bottom - r.top, 114);
    EXPECT_FALSE(closed); // re-making its window for the new parent is no close
    EXPECT_TRUE(IsWindowVisible(w.Handle()));
    // Drawn inside the host: the black strip at its left, the banner's blue
    // lettering in the middle row, the frame's face beside the figure.
    RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    HDC dc = GetDC(host);
    COLORREF strip = GetPixel(dc, 0, 60);
    int blue = 0;
    for (int x = 12; x < 157; ++x)
        for (int y = 67; y < 87; ++y) {
            COLORREF c = GetPixel(dc, x, y);
            if (GetBValue(c) > 0xC0 && GetRValue(c) < 0x40 && GetGValue(c) < 0x40) ++blue;
        }
    ReleaseDC(host, dc);
    EXPECT_EQ(strip, RGB(0, 0, 0));
    EXPECT_GT(blue, 50);
    // Wine shows no child window of another process's window, so the picture
    // of the preview in its host is taken here (for the README) when asked.
    if (const char* folder = std::getenv("NIMBRE_SCREENSHOTS"))
        SaveWindowPicture(host, 200, 140, std::string(folder) + "\\preview.bmp");
    DestroyWindow(host);
    Pump();
    EXPECT_TRUE(closed);
}

TEST(PreviewWindow, ShowingItHidesTheApplicationWindow) {
    Preview p;
    ShowWindow(gui::App().Handle(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(gui::App().ApplicationWindowVisible());
    p.window->Show();
    Pump();
    EXPECT_FALSE(gui::App().ApplicationWindowVisible());
    p.window->Hide();
}
