// Menus as a person works them: items' access keys and shortcut texts, a tool bar's menu run
// from the keyboard through keys waiting in the queue (arrows between buttons and items,
// separators and disabled items passed over, sub-menus, Escape back to the bar, access keys),
// the form's menu keys, and the framework's own drawing of items without a painter.
#include "gui/MenuList.h"

#include <gtest/gtest.h>

#include <memory>

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Color.h"
#include "gui/Form.h"
#include "gui/ToolBar.h"

namespace {

// A shown form with a bar of three menus: File (Open, -, Disabled, Recent > One, Two, Exit),
// Edit (Cut, Copy) and Help (no items: a button that runs at once).
struct MenuBarForm {
    MenuBarForm() {
        form->SetBounds(50, 50, 300, 200);
        bar = new gui::ToolBar(form.get());
        bar->SetParent(form.get());
        gui::MenuItem& file = menu.Items().Add("&File");
        open = &file.Add("&Open");
        file.Add("-");
        file.Add("&Disabled").SetEnabled(false);
        gui::MenuItem& recent = file.Add("&Recent");
        recent.Add("One");
        two = &recent.Add("Two");
        exit = &file.Add("E&xit");
        gui::MenuItem& edit = menu.Items().Add("&Edit");
        edit.Add("Cu&t");
        copy = &edit.Add("&Copy");
        help = &menu.Items().Add("&Help");
        help->OnClick = [this](gui::Component*) { ++helpClicks; };
        for (int i = 0; i < menu.Items().Count(); ++i)
            bar->AddButton(&menu.Items().Items(i));
        form->SetMenuBar(bar);
        form->Show();
        gui::App().ProcessMessages();
    }
    // Queues the keys, then runs the menu from the keyboard on the first button. Alt after them
    // ends a menu that they left open; what the menu did not take is dropped afterwards.
    gui::MenuItem* RunKeys(std::initializer_list<UINT> keys, bool openList = false) {
        for (UINT k : keys)
            PostMessageW(bar->Handle(), WM_KEYDOWN, k, 0);
        PostMessageW(bar->Handle(), WM_KEYDOWN, VK_MENU, 0);
        gui::MenuLoop loop(*bar);
        gui::MenuItem* chosen = loop.Run(0, openList, true);
        MSG msg;
        while (PeekMessageW(&msg, bar->Handle(), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
        }
        return chosen;
    }
    gui::MainMenu menu{nullptr};
    std::unique_ptr<gui::Form> form = std::make_unique<gui::Form>(nullptr);
    gui::ToolBar* bar = nullptr;
    gui::MenuItem *open = nullptr, *two = nullptr, *exit = nullptr, *copy = nullptr, *help = nullptr;
    int helpClicks = 0;
};

} // namespace

TEST(MenuItems, AccessKeysAndShortcutTexts) {
    EXPECT_EQ(gui::MenuItem("E&xit").AccessKey(), static_cast<unsigned>('X'));
    EXPECT_EQ(gui::MenuItem("Save && &quit").AccessKey(), static_cast<unsigned>('Q'));
    EXPECT_EQ(gui::MenuItem("Plain").AccessKey(), 0u);
    EXPECT_EQ(gui::ShortCutToText(gui::MakeShortCut('S', gui::ssCtrl)), "Ctrl+S");
    EXPECT_EQ(gui::ShortCutToText(gui::MakeShortCut(VK_F5, gui::ssShift | gui::ssAlt)), "Shift+Alt+F5");
    EXPECT_EQ(gui::ShortCutToText(0), "");
}

TEST(MenuItems, EveryEditReachesTheMenu) {
    struct Watched : gui::MainMenu {
        using gui::MainMenu::MainMenu;
        int changes = 0;
        void MenuChanged() override { ++changes; }
    } menu(nullptr);
    gui::MenuItem& file = menu.Items().Add("File");
    gui::MenuItem& open = file.Add("Open");
    open.SetChecked(true);
    open.SetEnabled(false);
    open.SetCaption("Open...");
    EXPECT_EQ(menu.changes, 5);
    EXPECT_EQ(open.Menu(), &menu);
    EXPECT_EQ(open.MenuIndex(), 0);
}

TEST(MenuLoopKeys, ArrowsMoveBetweenButtonsAndItemsPassingSeparatorsAndDisabledOnesAreNotRun) {
    MenuBarForm f;
    // Down opens File on Open; Down passes the separator to Disabled, whose Enter does nothing;
    // Down, Down reaches Exit.
    EXPECT_EQ(f.RunKeys({VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_DOWN, VK_RETURN}), f.exit);
    // Right moves to Edit and opens it; Up wraps to its last item.
    EXPECT_EQ(f.RunKeys({VK_DOWN, VK_RIGHT, VK_UP, VK_RETURN}), f.copy);
    // Left from File wraps to Help, which has no list: Enter chooses it.
    EXPECT_EQ(f.RunKeys({VK_LEFT, VK_RETURN}), f.help);
    EXPECT_EQ(f.bar->HotButton(), -1);
}

TEST(MenuLoopKeys, SubListsOpenToTheRightAndEscapeStepsBack) {
    MenuBarForm f;
    EXPECT_EQ(f.RunKeys({VK_UP, VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN}, true), f.two);
    // Escape closes the sub-list, then the list (back to the bar), then leaves.
    EXPECT_EQ(f.RunKeys({VK_UP, VK_UP, VK_RIGHT, VK_ESCAPE, VK_ESCAPE, VK_ESCAPE}, true), nullptr);
    EXPECT_EQ(f.RunKeys({VK_DOWN}), nullptr); // Alt leaves with the list open
}

TEST(MenuLoopKeys, AccessKeysOpenButtonsAndRunItems) {
    MenuBarForm f;
    EXPECT_EQ(f.RunKeys({'E', 'C'}), f.copy);
    EXPECT_EQ(f.RunKeys({'R', '2', VK_DOWN, VK_RETURN}, true), f.two); // no item has 2
    EXPECT_EQ(f.RunKeys({'X'}, true), f.exit);
}

TEST(MenuLoopKeys, TheFormsMenuKeysGoToItsBar) {
    MenuBarForm f;
    PostMessageW(f.bar->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    f.form->Perform(WM_SYSCOMMAND, SC_KEYMENU, 0); // Alt alone: the bar, then Escape leaves
    EXPECT_EQ(f.bar->HotButton(), -1);
    f.form->Perform(WM_SYSCOMMAND, SC_KEYMENU, 'h'); // Alt+H: a button without a list runs
    EXPECT_EQ(f.helpClicks, 1);
    EXPECT_EQ(f.form->Perform(WM_SYSCOMMAND, SC_KEYMENU, 'z'), 0);
    EXPECT_EQ(f.helpClicks, 1);
}

TEST(MenuDrawing, ItemsWithoutAPainterGetTheFrameworksDrawing) {
    gui::MainMenu menu(nullptr);
    gui::MenuItem& item = menu.Items().Add("Open");
    bool eventRan = false;
    item.OnDrawItem = [&](gui::MenuItem*, gui::Canvas&, const RECT&, bool) { eventRan = true; };
    gui::Bitmap b(100, 20);
    gui::DrawMenuItem(item, b.Canvas(), RECT{0, 0, 100, 20}, true);
    EXPECT_FALSE(eventRan); // not owner-drawn: the event is not the menu's painter
    const std::uint32_t px = gui::ColorToPixel(GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(b.ScanLine(1)[98] & 0xFFFFFF, px);
    menu.SetOwnerDraw(true);
    gui::DrawMenuItem(item, b.Canvas(), RECT{0, 0, 100, 20}, true);
    EXPECT_TRUE(eventRan);
}
