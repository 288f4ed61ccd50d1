// The drop-down list of a menu item's items, and the loop that runs a menu: the lists open
// from the buttons of a tool bar (or alone), keyboard and mouse move between items, lists and
// bar buttons, and the chosen item comes back to the caller.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "gui/Handle.h"
#include "gui/MainMenu.h"

namespace gui {

class Canvas;
class ToolBar;

// The framework's own measure and drawing of an item, used for items without draw and measure
// events (or in menus that are not owner-drawn): menu colours, the system menu font, a check
// mark or the item's image at the left, the shortcut at the right.
void DefaultMeasureItem(MenuItem& item, Canvas& canvas, int& width, int& height);
void DefaultDrawItem(MenuItem& item, Canvas& canvas, const RECT& rect, bool selected);
// What a list does for one item: the item's events when its menu is owner-drawn (or holds an
// image list) and they are assigned, the default otherwise.
void MeasureMenuItem(MenuItem& item, Canvas& canvas, int& width, int& height);
void DrawMenuItem(MenuItem& item, Canvas& canvas, const RECT& rect, bool selected);

// A popup window showing the items of one item, one under the other, inside a raised edge.
class MenuList {
  public:
    // Shown at once with its top-left corner at the screen point (moved to stay on the screen).
    MenuList(MenuItem& item, POINT screen, HWND owner);
    ~MenuList();
    MenuList(const MenuList&) = delete;
    MenuList& operator=(const MenuList&) = delete;

    MenuItem& Item() const { return item_; }
    HWND Handle() const { return handle_.Get(); }
    int Selected() const { return selected_; }
    void Select(int index);
    // The item under a screen point (-1: none); separators count.
    int ItemAt(POINT screen) const;
    bool Contains(POINT screen) const;
    // An item's rectangle in screen coordinates.
    RECT ItemScreenRect(int index) const;
    // The next item from index that a person can select (not a separator), going by step.
    int NextSelectable(int index, int step) const;
    // Draws the whole list (border and items) into dc, as its paint does.
    void PaintTo(HDC dc);

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void PaintItem(Canvas& canvas, int index);

    MenuItem& item_;
    WindowHandle handle_;
    std::vector<RECT> rects_; // client coordinates
    int selected_ = -1;
};

// Runs a menu until an item is chosen or the menu is left. Every message of the thread passes
// through the loop meanwhile; keys and mouse are the menu's, the rest is dispatched as usual.
class MenuLoop {
  public:
    // bar: the tool bar whose buttons open the lists.
    explicit MenuLoop(ToolBar& bar) : bar_(&bar) {}

    // Starts on the bar button: with its list open (the first item selected when keyboard), or
    // with the button only highlighted (keyboard: Alt or F10). Returns the chosen item; its
    // click is for the caller to run once the menu has gone.
    MenuItem* Run(int button, bool openList, bool keyboard);

  private:
    void OpenButton(int button, bool selectFirst);
    void CloseLists(size_t keep);
    void OpenSubList(bool selectFirst);
    void Choose(MenuItem& item);
    void Key(UINT key);
    void Mouse(const MSG& msg);
    void ShowBar();

    ToolBar* bar_;
    int button_ = -1;
    bool keyboard_ = false;
    bool done_ = false;
    MenuItem* chosen_ = nullptr;
    std::vector<std::unique_ptr<MenuList>> lists_;
};

} // namespace gui
