// The theme table and the style walks.
#include "skin/SUIThemes.h"

#include <array>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Exception.h"
#include "gui/Font.h"
#include "gui/WinControl.h"
#include "skin/SUIButton.h"
#include "skin/SUICheckListBox.h"
#include "skin/SUIComboBox.h"
#include "skin/SUIEdit.h"
#include "skin/SUIGroupBox.h"
#include "skin/SUIImagePanel.h"
#include "skin/SUIListBox.h"
#include "skin/SUIListView.h"
#include "skin/SUIMemo.h"
#include "skin/SUIProgressBar.h"
#include "skin/SUIRadioGroup.h"
#include "skin/SUISideChannel.h"
#include "skin/SUITabControl.h"
#include "skin/SUITrackBar.h"
#include "skin/SUITreeView.h"

namespace sui {

namespace {

using enum TsuiThemeKind;

// One entry of a style's table. Numbers are integers, 0x00BBGGRR colours or 0/1 flags; bitmap
// slots hold the resource name whole.
struct Entry {
    constexpr Entry(TsuiThemeSlot slot, int value) : Slot(slot), Value(value) {}
    constexpr Entry(TsuiThemeSlot slot, const char* name) : Slot(slot), Name(name) {}
    TsuiThemeSlot Slot;
    std::int32_t Value = 0;
    const char* Name = nullptr;
};
using StyleTable = std::array<Entry, thSlotCount>;

struct KindEntry {
    TsuiThemeSlot Slot;
    TsuiThemeKind Kind;
};
using KindTable = std::array<KindEntry, thSlotCount>;

constexpr KindTable kKinds = {{
    {thFormBorderColor, ColorKind},
    {thFormColor, ColorKind},
    {thFormBorderWidth, IntegerKind},
    {thFormMinWidth, IntegerKind},
    {thFormRoundCorner, IntegerKind},
    {thControlBorderColor, ColorKind},
    {thControlColor, ColorKind},
    {thControlFontColor, ColorKind},
    {thMenuSelectedBorderColor, ColorKind},
    {thMenuSelectedColor, ColorKind},
    {thMenuSelectedFontColor, ColorKind},
    {thMenuColor, ColorKind},
    {thMenuFontColor, ColorKind},
    {thMenuBarColor, ColorKind},
    {thMenuSeparatorColor, ColorKind},
    {thMenuBarSeparatorColor, ColorKind},
    {thMenuItemHeight, IntegerKind},
    {thMenuSeparatorHeight, IntegerKind},
    {thMenuBarWidth, IntegerKind},
    {thTitleButtonTransparent, BooleanKind},
    {thTitleLeftBtnXOffset, IntegerKind},
    {thTitleRightBtnXOffset, IntegerKind},
    {thTitleButtonTop, IntegerKind},
    {thTabHeight, IntegerKind},
    {thComboBoxButtonColor, ColorKind},
    {thTrackBarColor, ColorKind},
    {thMenuChecked, BitmapNameKind},
    {thButtonNormal, BitmapNameKind},
    {thButtonMouseOn, BitmapNameKind},
    {thButtonMouseDown, BitmapNameKind},
    {thCheckBoxDisableCheck, BitmapNameKind},
    {thCheckBoxDisableUncheck, BitmapNameKind},
    {thCheckBoxCheck, BitmapNameKind},
    {thCheckBoxUncheck, BitmapNameKind},
    {thCheckBoxMouseOnCheck, BitmapNameKind},
    {thCheckBoxMouseOnUncheck, BitmapNameKind},
    {thCheckBoxMouseDownCheck, BitmapNameKind},
    {thCheckBoxMouseDownUncheck, BitmapNameKind},
    {thRadioButtonDisableCheck, BitmapNameKind},
    {thRadioButtonDisableUncheck, BitmapNameKind},
    {thRadioButtonCheck, BitmapNameKind},
    {thRadioButtonUncheck, BitmapNameKind},
    {thRadioButtonMouseOnCheck, BitmapNameKind},
    {thRadioButtonMouseOnUncheck, BitmapNameKind},
    {thRadioButtonMouseDownCheck, BitmapNameKind},
    {thRadioButtonMouseDownUncheck, BitmapNameKind},
    {thProgressBar, BitmapNameKind},
    {thProgressBarV, BitmapNameKind},
    {thTitleLeft, BitmapNameKind},
    {thTitleClient, BitmapNameKind},
    {thTitleRight, BitmapNameKind},
    {thTitleCloseNormal, BitmapNameKind},
    {thTitleCloseMouseOn, BitmapNameKind},
    {thTitleCloseMouseDown, BitmapNameKind},
    {thTitleMaxNormal, BitmapNameKind},
    {thTitleMaxMouseOn, BitmapNameKind},
    {thTitleMaxMouseDown, BitmapNameKind},
    {thTitleMinNormal, BitmapNameKind},
    {thTitleMinMouseOn, BitmapNameKind},
    {thTitleMinMouseDown, BitmapNameKind},
    {thTitleHelpNormal, BitmapNameKind},
    {thTitleHelpMouseOn, BitmapNameKind},
    {thTitleHelpMouseDown, BitmapNameKind},
    {thTitleControlBoxNormal, BitmapNameKind},
    {thTitleControlBoxMouseOn, BitmapNameKind},
    {thTitleControlBoxMouseDown, BitmapNameKind},
    {thTitleRestoreNormal, BitmapNameKind},
    {thTitleRestoreMouseOn, BitmapNameKind},
    {thTitleRestoreMouseDown, BitmapNameKind},
    {thTabActive, BitmapNameKind},
    {thTabInactive, BitmapNameKind},
    {thTabLine, BitmapNameKind},
    {thTrackBarBar, BitmapNameKind},
    {thTrackBarSlider, BitmapNameKind},
    {thTrackBarBarV, BitmapNameKind},
    {thTrackBarSliderV, BitmapNameKind},
}};

// The tables of the five styles: every slot, in slot order.

// MacOS
constexpr StyleTable kMacOSTable = {{
    {thFormBorderColor, 0x7F7F7F},
    {thFormColor, 0xE7E7E7},
    {thFormBorderWidth, 1},
    {thFormMinWidth, 130},
    {thFormRoundCorner, 0},
    {thControlBorderColor, 0x7F7F7F},
    {thControlColor, 0xE7E7E7},
    {thControlFontColor, 0x000000},
    {thMenuSelectedBorderColor, 0x000000},
    {thMenuSelectedColor, 0x000000},
    {thMenuSelectedFontColor, 0xFFFFFF},
    {thMenuColor, 0x000000},
    {thMenuFontColor, 0x000000},
    {thMenuBarColor, 0x000000},
    {thMenuSeparatorColor, 0x000000},
    {thMenuBarSeparatorColor, 0x000000},
    {thMenuItemHeight, 20},
    {thMenuSeparatorHeight, 12},
    {thMenuBarWidth, 26},
    {thTitleButtonTransparent, false},
    {thTitleLeftBtnXOffset, 3},
    {thTitleRightBtnXOffset, -2},
    {thTitleButtonTop, 4},
    {thTabHeight, 34},
    {thComboBoxButtonColor, 0xE7E7E7},
    {thTrackBarColor, 0xEEEEEE},
    {thMenuChecked, "MENU_CHECKED"},
    {thButtonNormal, "MACOS_BUTTON_NORMAL"},
    {thButtonMouseOn, "MACOS_BUTTON_MOUSEON"},
    {thButtonMouseDown, "MACOS_BUTTON_MOUSEDOWN"},
    {thCheckBoxDisableCheck, "MACOS_CHECKBOX_DISABLE_CHECK"},
    {thCheckBoxDisableUncheck, "MACOS_CHECKBOX_DISABLE_UNCHECK"},
    {thCheckBoxCheck, "MACOS_CHECKBOX_CHECK"},
    {thCheckBoxUncheck, "MACOS_CHECKBOX_UNCHECK"},
    {thCheckBoxMouseOnCheck, "MACOS_CHECKBOX_CHECK"},
    {thCheckBoxMouseOnUncheck, "MACOS_CHECKBOX_UNCHECK"},
    {thCheckBoxMouseDownCheck, "MACOS_CHECKBOX_CHECK"},
    {thCheckBoxMouseDownUncheck, "MACOS_CHECKBOX_UNCHECK"},
    {thRadioButtonDisableCheck, "MACOS_RADIOBUTTON_DISABLE_CHECK"},
    {thRadioButtonDisableUncheck, "MACOS_RADIOBUTTON_DISABLE_UNCHECK"},
    {thRadioButtonCheck, "MACOS_RADIOBUTTON_CHECK"},
    {thRadioButtonUncheck, "MACOS_RADIOBUTTON_UNCHECK"},
    {thRadioButtonMouseOnCheck, "MACOS_RADIOBUTTON_CHECK"},
    {thRadioButtonMouseOnUncheck, "MACOS_RADIOBUTTON_UNCHECK"},
    {thRadioButtonMouseDownCheck, "MACOS_RADIOBUTTON_CHECK"},
    {thRadioButtonMouseDownUncheck, "MACOS_RADIOBUTTON_UNCHECK"},
    {thProgressBar, "MACOS_PROGRESSBAR"},
    {thProgressBarV, "MACOS_PROGRESSBAR_V"},
    {thTitleLeft, "MACOS_TITLE_LEFT"},
    {thTitleClient, "MACOS_TITLE_CLIENT"},
    {thTitleRight, "MACOS_TITLE_RIGHT"},
    {thTitleCloseNormal, "MACOS_TITLEBTN_CLOSE_NORMAL"},
    {thTitleCloseMouseOn, "MACOS_TITLEBTN_CLOSE_MOUSEON"},
    {thTitleCloseMouseDown, "MACOS_TITLEBTN_CLOSE_MOUSEDOWN"},
    {thTitleMaxNormal, "MACOS_TITLEBTN_MAX_NORMAL"},
    {thTitleMaxMouseOn, "MACOS_TITLEBTN_MAX_MOUSEON"},
    {thTitleMaxMouseDown, "MACOS_TITLEBTN_MAX_MOUSEDOWN"},
    {thTitleMinNormal, "MACOS_TITLEBTN_MIN_NORMAL"},
    {thTitleMinMouseOn, "MACOS_TITLEBTN_MIN_MOUSEON"},
    {thTitleMinMouseDown, "MACOS_TITLEBTN_MIN_MOUSEDOWN"},
    {thTitleHelpNormal, "MACOS_TITLEBTN_HELP_NORMAL"},
    {thTitleHelpMouseOn, "MACOS_TITLEBTN_HELP_MOUSEON"},
    {thTitleHelpMouseDown, "MACOS_TITLEBTN_HELP_MOUSEDOWN"},
    {thTitleControlBoxNormal, "MACOS_TITLEBTN_CTLBOX_NORMAL"},
    {thTitleControlBoxMouseOn, "MACOS_TITLEBTN_CTLBOX_MOUSEON"},
    {thTitleControlBoxMouseDown, "MACOS_TITLEBTN_CTLBOX_MOUSEDOWN"},
    {thTitleRestoreNormal, "MACOS_TITLEBTN_MAX_NORMAL"},
    {thTitleRestoreMouseOn, "MACOS_TITLEBTN_MAX_MOUSEON"},
    {thTitleRestoreMouseDown, "MACOS_TITLEBTN_MAX_MOUSEDOWN"},
    {thTabActive, "MACOS_TAB_ACTIVE"},
    {thTabInactive, "MACOS_TAB_INACTIVE"},
    {thTabLine, "MACOS_TAB_LINE"},
    {thTrackBarBar, "MACOS_TRACKBAR_BAR"},
    {thTrackBarSlider, "MACOS_TRACKBAR_SLIDER"},
    {thTrackBarBarV, "MACOS_TRACKBAR_BAR"},
    {thTrackBarSliderV, "MACOS_TRACKBAR_SLIDER_V"},
}};

// WinXP
constexpr StyleTable kWinXPTable = {{
    {thFormBorderColor, 0xC82C00},
    {thFormColor, 0xDEEBEF},
    {thFormBorderWidth, 3},
    {thFormMinWidth, 150},
    {thFormRoundCorner, 13},
    {thControlBorderColor, 0x686868},
    {thControlColor, 0xDEEBEF},
    {thControlFontColor, 0xCF4602},
    {thMenuSelectedBorderColor, 0xC66931},
    {thMenuSelectedColor, 0xEFD3C6},
    {thMenuSelectedFontColor, 0x000000},
    {thMenuColor, 0xFFFFFF},
    {thMenuFontColor, 0x000000},
    {thMenuBarColor, 0xCED3D6},
    {thMenuSeparatorColor, 0x848284},
    {thMenuBarSeparatorColor, 0x9CA6AD},
    {thMenuItemHeight, 21},
    {thMenuSeparatorHeight, 5},
    {thMenuBarWidth, 26},
    {thTitleButtonTransparent, false},
    {thTitleLeftBtnXOffset, 2},
    {thTitleRightBtnXOffset, -2},
    {thTitleButtonTop, 5},
    {thTabHeight, 19},
    {thComboBoxButtonColor, 0xDEEBEF},
    {thTrackBarColor, 0xDEEBEF},
    {thMenuChecked, "MENU_CHECKED"},
    {thButtonNormal, "WINXP_BUTTON_NORMAL"},
    {thButtonMouseOn, "WINXP_BUTTON_MOUSEON"},
    {thButtonMouseDown, "WINXP_BUTTON_MOUSEDOWN"},
    {thCheckBoxDisableCheck, "WINXP_CHECKBOX_DISABLE_CHECK"},
    {thCheckBoxDisableUncheck, "WINXP_CHECKBOX_DISABLE_UNCHECK"},
    {thCheckBoxCheck, "WINXP_CHECKBOX_NORMAL_CHECK"},
    {thCheckBoxUncheck, "WINXP_CHECKBOX_NORMAL_UNCHECK"},
    {thCheckBoxMouseOnCheck, "WINXP_CHECKBOX_MOUSEON_CHECK"},
    {thCheckBoxMouseOnUncheck, "WINXP_CHECKBOX_MOUSEON_UNCHECK"},
    {thCheckBoxMouseDownCheck, "WINXP_CHECKBOX_MOUSEDOWN_CHECK"},
    {thCheckBoxMouseDownUncheck, "WINXP_CHECKBOX_MOUSEDOWN_UNCHECK"},
    {thRadioButtonDisableCheck, "WINXP_RADIOBUTTON_DISABLE_CHECK"},
    {thRadioButtonDisableUncheck, "WINXP_RADIOBUTTON_DISABLE_UNCHECK"},
    {thRadioButtonCheck, "WINXP_RADIOBUTTON_NORMAL_CHECK"},
    {thRadioButtonUncheck, "WINXP_RADIOBUTTON_NORMAL_UNCHECK"},
    {thRadioButtonMouseOnCheck, "WINXP_RADIOBUTTON_MOUSEON_CHECK"},
    {thRadioButtonMouseOnUncheck, "WINXP_RADIOBUTTON_MOUSEON_UNCHECK"},
    {thRadioButtonMouseDownCheck, "WINXP_RADIOBUTTON_MOUSEDOWN_CHECK"},
    {thRadioButtonMouseDownUncheck, "WINXP_RADIOBUTTON_MOUSEDOWN_UNCHECK"},
    {thProgressBar, "WINXP_PROGRESSBAR"},
    {thProgressBarV, "WINXP_PROGRESSBAR_V"},
    {thTitleLeft, "WINXP_TITLE_LEFT"},
    {thTitleClient, "WINXP_TITLE_CLIENT"},
    {thTitleRight, "WINXP_TITLE_RIGHT"},
    {thTitleCloseNormal, "WINXP_TITLEBTN_CLOSE_NORMAL"},
    {thTitleCloseMouseOn, "WINXP_TITLEBTN_CLOSE_MOUSEON"},
    {thTitleCloseMouseDown, "WINXP_TITLEBTN_CLOSE_MOUSEDOWN"},
    {thTitleMaxNormal, "WINXP_TITLEBTN_MAX_NORMAL"},
    {thTitleMaxMouseOn, "WINXP_TITLEBTN_MAX_MOUSEON"},
    {thTitleMaxMouseDown, "WINXP_TITLEBTN_MAX_MOUSEDOWN"},
    {thTitleMinNormal, "WINXP_TITLEBTN_MIN_NORMAL"},
    {thTitleMinMouseOn, "WINXP_TITLEBTN_MIN_MOUSEON"},
    {thTitleMinMouseDown, "WINXP_TITLEBTN_MIN_MOUSEDOWN"},
    {thTitleHelpNormal, "WINXP_TITLEBTN_HELP_NORMAL"},
    {thTitleHelpMouseOn, "WINXP_TITLEBTN_HELP_MOUSEON"},
    {thTitleHelpMouseDown, "WINXP_TITLEBTN_HELP_MOUSEDOWN"},
    {thTitleControlBoxNormal, "WINXP_TITLEBTN_CTLBOX_NORMAL"},
    {thTitleControlBoxMouseOn, "WINXP_TITLEBTN_CTLBOX_MOUSEON"},
    {thTitleControlBoxMouseDown, "WINXP_TITLEBTN_CTLBOX_MOUSEDOWN"},
    {thTitleRestoreNormal, "WINXP_TITLEBTN_RST_NORMAL"},
    {thTitleRestoreMouseOn, "WINXP_TITLEBTN_RST_MOUSEON"},
    {thTitleRestoreMouseDown, "WINXP_TITLEBTN_RST_MOUSEDOWN"},
    {thTabActive, "WINXP_TAB_ACTIVE"},
    {thTabInactive, "WINXP_TAB_INACTIVE"},
    {thTabLine, "WINXP_TAB_LINE"},
    {thTrackBarBar, "WINXP_TRACKBAR_BAR"},
    {thTrackBarSlider, "WINXP_TRACKBAR_SLIDER"},
    {thTrackBarBarV, "WINXP_TRACKBAR_BAR"},
    {thTrackBarSliderV, "WINXP_TRACKBAR_SLIDER_V"},
}};

// DeepBlue
constexpr StyleTable kDeepBlueTable = {{
    {thFormBorderColor, 0x000000},
    {thFormColor, 0xE8E8E8},
    {thFormBorderWidth, 1},
    {thFormMinWidth, 130},
    {thFormRoundCorner, 0},
    {thControlBorderColor, 0x000000},
    {thControlColor, 0xE8E8E8},
    {thControlFontColor, 0x000000},
    {thMenuSelectedBorderColor, 0xA04A44},
    {thMenuSelectedColor, 0xA04A44},
    {thMenuSelectedFontColor, 0xFFFFFF},
    {thMenuColor, 0xFFFFFF},
    {thMenuFontColor, 0x000000},
    {thMenuBarColor, 0xCED3D6},
    {thMenuSeparatorColor, 0x848284},
    {thMenuBarSeparatorColor, 0x9CA6AD},
    {thMenuItemHeight, 21},
    {thMenuSeparatorHeight, 5},
    {thMenuBarWidth, 26},
    {thTitleButtonTransparent, false},
    {thTitleLeftBtnXOffset, 0},
    {thTitleRightBtnXOffset, 0},
    {thTitleButtonTop, 2},
    {thTabHeight, 22},
    {thComboBoxButtonColor, 0xE8E8E8},
    {thTrackBarColor, 0xE8E8E8},
    {thMenuChecked, "MENU_CHECKED"},
    {thButtonNormal, "DEEPBLUE_BUTTON_NORMAL"},
    {thButtonMouseOn, "DEEPBLUE_BUTTON_MOUSEON"},
    {thButtonMouseDown, "DEEPBLUE_BUTTON_MOUSEDOWN"},
    {thCheckBoxDisableCheck, "DEEPBLUE_CHECKBOX_DISABLE_CHECK"},
    {thCheckBoxDisableUncheck, "DEEPBLUE_CHECKBOX_DISABLE_UNCHECK"},
    {thCheckBoxCheck, "DEEPBLUE_CHECKBOX_CHECK"},
    {thCheckBoxUncheck, "DEEPBLUE_CHECKBOX_UNCHECK"},
    {thCheckBoxMouseOnCheck, "DEEPBLUE_CHECKBOX_CHECK"},
    {thCheckBoxMouseOnUncheck, "DEEPBLUE_CHECKBOX_UNCHECK"},
    {thCheckBoxMouseDownCheck, "DEEPBLUE_CHECKBOX_CHECK"},
    {thCheckBoxMouseDownUncheck, "DEEPBLUE_CHECKBOX_UNCHECK"},
    {thRadioButtonDisableCheck, "DEEPBLUE_RADIOBUTTON_DISABLE_CHECK"},
    {thRadioButtonDisableUncheck, "DEEPBLUE_RADIOBUTTON_DISABLE_UNCHECK"},
    {thRadioButtonCheck, "DEEPBLUE_RADIOBUTTON_CHECK"},
    {thRadioButtonUncheck, "DEEPBLUE_RADIOBUTTON_UNCHECK"},
    {thRadioButtonMouseOnCheck, "DEEPBLUE_RADIOBUTTON_CHECK"},
    {thRadioButtonMouseOnUncheck, "DEEPBLUE_RADIOBUTTON_UNCHECK"},
    {thRadioButtonMouseDownCheck, "DEEPBLUE_RADIOBUTTON_CHECK"},
    {thRadioButtonMouseDownUncheck, "DEEPBLUE_RADIOBUTTON_UNCHECK"},
    {thProgressBar, "DEEPBLUE_PROGRESSBAR"},
    {thProgressBarV, "DEEPBLUE_PROGRESSBAR_V"},
    {thTitleLeft, "DEEPBLUE_TITLE_LEFT"},
    {thTitleClient, "DEEPBLUE_TITLE_CLIENT"},
    {thTitleRight, "DEEPBLUE_TITLE_RIGHT"},
    {thTitleCloseNormal, "DEEPBLUE_TITLEBTN_CLOSE_NORMAL"},
    {thTitleCloseMouseOn, "DEEPBLUE_TITLEBTN_CLOSE_MOUSEON"},
    {thTitleCloseMouseDown, "DEEPBLUE_TITLEBTN_CLOSE_MOUSEDOWN"},
    {thTitleMaxNormal, "DEEPBLUE_TITLEBTN_MAX_NORMAL"},
    {thTitleMaxMouseOn, "DEEPBLUE_TITLEBTN_MAX_MOUSEON"},
    {thTitleMaxMouseDown, "DEEPBLUE_TITLEBTN_MAX_MOUSEDOWN"},
    {thTitleMinNormal, "DEEPBLUE_TITLEBTN_MIN_NORMAL"},
    {thTitleMinMouseOn, "DEEPBLUE_TITLEBTN_MIN_MOUSEON"},
    {thTitleMinMouseDown, "DEEPBLUE_TITLEBTN_MIN_MOUSEDOWN"},
    {thTitleHelpNormal, "DEEPBLUE_TITLEBTN_HELP_NORMAL"},
    {thTitleHelpMouseOn, "DEEPBLUE_TITLEBTN_HELP_MOUSEON"},
    {thTitleHelpMouseDown, "DEEPBLUE_TITLEBTN_HELP_MOUSEDOWN"},
    {thTitleControlBoxNormal, "DEEPBLUE_TITLEBTN_CTLBOX_NORMAL"},
    {thTitleControlBoxMouseOn, "DEEPBLUE_TITLEBTN_CTLBOX_MOUSEON"},
    {thTitleControlBoxMouseDown, "DEEPBLUE_TITLEBTN_CTLBOX_MOUSEDOWN"},
    {thTitleRestoreNormal, "DEEPBLUE_TITLEBTN_MAX_NORMAL"},
    {thTitleRestoreMouseOn, "DEEPBLUE_TITLEBTN_MAX_MOUSEON"},
    {thTitleRestoreMouseDown, "DEEPBLUE_TITLEBTN_MAX_MOUSEDOWN"},
    {thTabActive, "DEEPBLUE_TAB_ACTIVE"},
    {thTabInactive, "DEEPBLUE_TAB_INACTIVE"},
    {thTabLine, "DEEPBLUE_TAB_LINE"},
    {thTrackBarBar, "DEEPBLUE_TRACKBAR_BAR"},
    {thTrackBarSlider, "DEEPBLUE_TRACKBAR_SLIDER"},
    {thTrackBarBarV, "DEEPBLUE_TRACKBAR_BAR"},
    {thTrackBarSliderV, "DEEPBLUE_TRACKBAR_SLIDER_V"},
}};

// Protein
constexpr StyleTable kProteinTable = {{
    {thFormBorderColor, 0x000000},
    {thFormColor, 0xFBFBFB},
    {thFormBorderWidth, 1},
    {thFormMinWidth, 130},
    {thFormRoundCorner, 0},
    {thControlBorderColor, 0x000000},
    {thControlColor, 0xFBFBFB},
    {thControlFontColor, 0x000000},
    {thMenuSelectedBorderColor, 0xC4302D},
    {thMenuSelectedColor, 0xC4302D},
    {thMenuSelectedFontColor, 0xFFFFFF},
    {thMenuColor, 0xFFFFFF},
    {thMenuFontColor, 0x000000},
    {thMenuBarColor, 0xCED3D6},
    {thMenuSeparatorColor, 0x848284},
    {thMenuBarSeparatorColor, 0x9CA6AD},
    {thMenuItemHeight, 21},
    {thMenuSeparatorHeight, 5},
    {thMenuBarWidth, 26},
    {thTitleButtonTransparent, true},
    {thTitleLeftBtnXOffset, 0},
    {thTitleRightBtnXOffset, 0},
    {thTitleButtonTop, 2},
    {thTabHeight, 22},
    {thComboBoxButtonColor, 0xFBFBFB},
    {thTrackBarColor, 0xFBFBFB},
    {thMenuChecked, "MENU_CHECKED"},
    {thButtonNormal, "PROTEIN_BUTTON_NORMAL"},
    {thButtonMouseOn, "PROTEIN_BUTTON_MOUSEON"},
    {thButtonMouseDown, "PROTEIN_BUTTON_MOUSEDOWN"},
    {thCheckBoxDisableCheck, "PROTEIN_CHECKBOX_DISABLE_CHECK"},
    {thCheckBoxDisableUncheck, "PROTEIN_CHECKBOX_DISABLE_UNCHECK"},
    {thCheckBoxCheck, "PROTEIN_CHECKBOX_CHECK"},
    {thCheckBoxUncheck, "PROTEIN_CHECKBOX_UNCHECK"},
    {thCheckBoxMouseOnCheck, "PROTEIN_CHECKBOX_CHECK"},
    {thCheckBoxMouseOnUncheck, "PROTEIN_CHECKBOX_UNCHECK"},
    {thCheckBoxMouseDownCheck, "PROTEIN_CHECKBOX_CHECK"},
    {thCheckBoxMouseDownUncheck, "PROTEIN_CHECKBOX_UNCHECK"},
    {thRadioButtonDisableCheck, "PROTEIN_RADIOBUTTON_DISABLE_CHECK"},
    {thRadioButtonDisableUncheck, "PROTEIN_RADIOBUTTON_DISABLE_UNCHECK"},
    {thRadioButtonCheck, "PROTEIN_RADIOBUTTON_CHECK"},
    {thRadioButtonUncheck, "PROTEIN_RADIOBUTTON_UNCHECK"},
    {thRadioButtonMouseOnCheck, "PROTEIN_RADIOBUTTON_CHECK"},
    {thRadioButtonMouseOnUncheck, "PROTEIN_RADIOBUTTON_UNCHECK"},
    {thRadioButtonMouseDownCheck, "PROTEIN_RADIOBUTTON_CHECK"},
    {thRadioButtonMouseDownUncheck, "PROTEIN_RADIOBUTTON_UNCHECK"},
    {thProgressBar, "PROTEIN_PROGRESSBAR"},
    {thProgressBarV, "PROTEIN_PROGRESSBAR_V"},
    {thTitleLeft, "PROTEIN_TITLE_LEFT"},
    {thTitleClient, "PROTEIN_TITLE_CLIENT"},
    {thTitleRight, "PROTEIN_TITLE_RIGHT"},
    {thTitleCloseNormal, "PROTEIN_TITLEBTN_CLOSE_NORMAL"},
    {thTitleCloseMouseOn, "PROTEIN_TITLEBTN_CLOSE_MOUSEON"},
    {thTitleCloseMouseDown, "PROTEIN_TITLEBTN_CLOSE_MOUSEDOWN"},
    {thTitleMaxNormal, "PROTEIN_TITLEBTN_MAX_NORMAL"},
    {thTitleMaxMouseOn, "PROTEIN_TITLEBTN_MAX_MOUSEON"},
    {thTitleMaxMouseDown, "PROTEIN_TITLEBTN_MAX_MOUSEDOWN"},
    {thTitleMinNormal, "PROTEIN_TITLEBTN_MIN_NORMAL"},
    {thTitleMinMouseOn, "PROTEIN_TITLEBTN_MIN_MOUSEON"},
    {thTitleMinMouseDown, "PROTEIN_TITLEBTN_MIN_MOUSEDOWN"},
    {thTitleHelpNormal, "PROTEIN_TITLEBTN_HELP_NORMAL"},
    {thTitleHelpMouseOn, "PROTEIN_TITLEBTN_HELP_MOUSEON"},
    {thTitleHelpMouseDown, "PROTEIN_TITLEBTN_HELP_MOUSEDOWN"},
    {thTitleControlBoxNormal, "PROTEIN_TITLEBTN_CTLBOX_NORMAL"},
    {thTitleControlBoxMouseOn, "PROTEIN_TITLEBTN_CTLBOX_MOUSEON"},
    {thTitleControlBoxMouseDown, "PROTEIN_TITLEBTN_CTLBOX_MOUSEDOWN"},
    {thTitleRestoreNormal, "PROTEIN_TITLEBTN_MAX_NORMAL"},
    {thTitleRestoreMouseOn, "PROTEIN_TITLEBTN_MAX_MOUSEON"},
    {thTitleRestoreMouseDown, "PROTEIN_TITLEBTN_MAX_MOUSEDOWN"},
    {thTabActive, "PROTEIN_TAB_ACTIVE"},
    {thTabInactive, "PROTEIN_TAB_INACTIVE"},
    {thTabLine, "PROTEIN_TAB_LINE"},
    {thTrackBarBar, "PROTEIN_TRACKBAR_BAR"},
    {thTrackBarSlider, "PROTEIN_TRACKBAR_SLIDER"},
    {thTrackBarBarV, "PROTEIN_TRACKBAR_BAR"},
    {thTrackBarSliderV, "PROTEIN_TRACKBAR_SLIDER_V"},
}};

// BlueGlass
constexpr StyleTable kBlueGlassTable = {{
    {thFormBorderColor, 0x000000},
    {thFormColor, 0xE7E7E7},
    {thFormBorderWidth, 1},
    {thFormMinWidth, 270},
    {thFormRoundCorner, 11},
    {thControlBorderColor, 0x000000},
    {thControlColor, 0xE7E7E7},
    {thControlFontColor, 0x000000},
    {thMenuSelectedBorderColor, 0xEC5E5E},
    {thMenuSelectedColor, 0xEC5E5E},
    {thMenuSelectedFontColor, 0xFFFFFF},
    {thMenuColor, 0xE7E7E7},
    {thMenuFontColor, 0x000000},
    {thMenuBarColor, 0xCED3D6},
    {thMenuSeparatorColor, 0x848284},
    {thMenuBarSeparatorColor, 0x9CA6AD},
    {thMenuItemHeight, 21},
    {thMenuSeparatorHeight, 5},
    {thMenuBarWidth, 26},
    {thTitleButtonTransparent, true},
    {thTitleLeftBtnXOffset, 4},
    {thTitleRightBtnXOffset, -3},
    {thTitleButtonTop, 6},
    {thTabHeight, 22},
    {thComboBoxButtonColor, 0xE9D6D5},
    {thTrackBarColor, 0xE7E7E7},
    {thMenuChecked, "MENU_CHECKED"},
    {thButtonNormal, "BLUEGLASS_BUTTON_NORMAL"},
    {thButtonMouseOn, "BLUEGLASS_BUTTON_MOUSEON"},
    {thButtonMouseDown, "BLUEGLASS_BUTTON_MOUSEDOWN"},
    {thCheckBoxDisableCheck, "BLUEGLASS_CHECKBOX_DISABLE_CHECK"},
    {thCheckBoxDisableUncheck, "BLUEGLASS_CHECKBOX_DISABLE_UNCHECK"},
    {thCheckBoxCheck, "BLUEGLASS_CHECKBOX_CHECK"},
    {thCheckBoxUncheck, "BLUEGLASS_CHECKBOX_UNCHECK"},
    {thCheckBoxMouseOnCheck, "BLUEGLASS_CHECKBOX_CHECK"},
    {thCheckBoxMouseOnUncheck, "BLUEGLASS_CHECKBOX_UNCHECK"},
    {thCheckBoxMouseDownCheck, "BLUEGLASS_CHECKBOX_CHECK"},
    {thCheckBoxMouseDownUncheck, "BLUEGLASS_CHECKBOX_UNCHECK"},
    {thRadioButtonDisableCheck, "BLUEGLASS_RADIOBUTTON_DISABLE_CHECK"},
    {thRadioButtonDisableUncheck, "BLUEGLASS_RADIOBUTTON_DISABLE_UNCHECK"},
    {thRadioButtonCheck, "BLUEGLASS_RADIOBUTTON_CHECK"},
    {thRadioButtonUncheck, "BLUEGLASS_RADIOBUTTON_UNCHECK"},
    {thRadioButtonMouseOnCheck, "BLUEGLASS_RADIOBUTTON_CHECK"},
    {thRadioButtonMouseOnUncheck, "BLUEGLASS_RADIOBUTTON_UNCHECK"},
    {thRadioButtonMouseDownCheck, "BLUEGLASS_RADIOBUTTON_CHECK"},
    {thRadioButtonMouseDownUncheck, "BLUEGLASS_RADIOBUTTON_UNCHECK"},
    {thProgressBar, "BLUEGLASS_PROGRESSBAR"},
    {thProgressBarV, "BLUEGLASS_PROGRESSBAR_V"},
    {thTitleLeft, "BLUEGLASS_TITLE_LEFT"},
    {thTitleClient, "BLUEGLASS_TITLE_CLIENT"},
    {thTitleRight, "BLUEGLASS_TITLE_RIGHT"},
    {thTitleCloseNormal, "BLUEGLASS_TITLEBTN_CLOSE_NORMAL"},
    {thTitleCloseMouseOn, "BLUEGLASS_TITLEBTN_CLOSE_MOUSEON"},
    {thTitleCloseMouseDown, "BLUEGLASS_TITLEBTN_CLOSE_MOUSEDOWN"},
    {thTitleMaxNormal, "BLUEGLASS_TITLEBTN_MAX_NORMAL"},
    {thTitleMaxMouseOn, "BLUEGLASS_TITLEBTN_MAX_MOUSEON"},
    {thTitleMaxMouseDown, "BLUEGLASS_TITLEBTN_MAX_MOUSEDOWN"},
    {thTitleMinNormal, "BLUEGLASS_TITLEBTN_MIN_NORMAL"},
    {thTitleMinMouseOn, "BLUEGLASS_TITLEBTN_MIN_MOUSEON"},
    {thTitleMinMouseDown, "BLUEGLASS_TITLEBTN_MIN_MOUSEDOWN"},
    {thTitleHelpNormal, "BLUEGLASS_TITLEBTN_HELP_NORMAL"},
    {thTitleHelpMouseOn, "BLUEGLASS_TITLEBTN_HELP_MOUSEON"},
    {thTitleHelpMouseDown, "BLUEGLASS_TITLEBTN_HELP_MOUSEDOWN"},
    {thTitleControlBoxNormal, "BLUEGLASS_TITLEBTN_CTLBOX_NORMAL"},
    {thTitleControlBoxMouseOn, "BLUEGLASS_TITLEBTN_CTLBOX_MOUSEON"},
    {thTitleControlBoxMouseDown, "BLUEGLASS_TITLEBTN_CTLBOX_MOUSEDOWN"},
    {thTitleRestoreNormal, "BLUEGLASS_TITLEBTN_MAX_NORMAL"},
    {thTitleRestoreMouseOn, "BLUEGLASS_TITLEBTN_MAX_MOUSEON"},
    {thTitleRestoreMouseDown, "BLUEGLASS_TITLEBTN_MAX_MOUSEDOWN"},
    {thTabActive, "BLUEGLASS_TAB_ACTIVE"},
    {thTabInactive, "BLUEGLASS_TAB_INACTIVE"},
    {thTabLine, "BLUEGLASS_TAB_LINE"},
    {thTrackBarBar, "BLUEGLASS_TRACKBAR_BAR"},
    {thTrackBarSlider, "BLUEGLASS_TRACKBAR_SLIDER"},
    {thTrackBarBarV, "BLUEGLASS_TRACKBAR_BAR"},
    {thTrackBarSliderV, "BLUEGLASS_TRACKBAR_SLIDER_V"},
}};

// Each table lists every slot once, in slot order, with a name exactly where the kind says so.
constexpr bool WellFormed(const StyleTable& table) {
    for (int i = 0; i < thSlotCount; ++i) {
        if (table[i].Slot != i || kKinds[i].Slot != i) return false;
        if ((table[i].Name != nullptr) != (kKinds[i].Kind == BitmapNameKind)) return false;
    }
    return true;
}
static_assert(WellFormed(kMacOSTable) && WellFormed(kWinXPTable) && WellFormed(kDeepBlueTable) &&
              WellFormed(kProteinTable) && WellFormed(kBlueGlassTable));

const StyleTable* TableOf(TsuiUIStyle style) {
    switch (style) {
    case TsuiUIStyle::MacOS:
        return &kMacOSTable;
    case TsuiUIStyle::WinXP:
        return &kWinXPTable;
    case TsuiUIStyle::DeepBlue:
        return &kDeepBlueTable;
    case TsuiUIStyle::Protein:
        return &kProteinTable;
    case TsuiUIStyle::BlueGlass:
        return &kBlueGlassTable;
    default:
        return nullptr;
    }
}

} // namespace

TsuiThemeKind GetThemeKind(TsuiThemeSlot slot) {
    if (slot < 0 || slot >= thSlotCount) return IntegerKind;
    return kKinds[slot].Kind;
}

TsuiThemeValue GetThemeValue(TsuiUIStyle style, TsuiThemeSlot slot) {
    const StyleTable* table = TableOf(style);
    if (table == nullptr || slot < 0 || slot >= thSlotCount) return TsuiThemeValue{};
    const Entry& e = (*table)[slot];
    return TsuiThemeValue{e.Value, e.Name, kKinds[slot].Kind};
}

int GetThemeInteger(TsuiUIStyle style, TsuiThemeSlot slot) {
    TsuiThemeValue v = GetThemeValue(style, slot);
    return v.Kind == IntegerKind ? v.Value : -1;
}

gui::TColor GetThemeColor(TsuiUIStyle style, TsuiThemeSlot slot) {
    TsuiThemeValue v = GetThemeValue(style, slot);
    return v.Kind == ColorKind ? static_cast<gui::TColor>(v.Value) : 0;
}

bool GetThemeBoolean(TsuiUIStyle style, TsuiThemeSlot slot) {
    TsuiThemeValue v = GetThemeValue(style, slot);
    return v.Kind == BooleanKind && v.Value != 0;
}

std::string GetThemeBitmapName(TsuiUIStyle style, TsuiThemeSlot slot) {
    TsuiThemeValue v = GetThemeValue(style, slot);
    return v.Kind == BitmapNameKind && v.Name ? std::string(v.Name) : std::string();
}

void LoadThemeBitmap(gui::Bitmap& bitmap, TsuiUIStyle style, TsuiThemeSlot slot) {
    std::string name = GetThemeBitmapName(style, slot);
    if (name.empty()) throw gui::EResNotFound(gui::FormatMessageText("Resource %s not found", name));
    bitmap.LoadFromResourceName(GetModuleHandleW(nullptr), name);
}

std::string StyleWord(TsuiUIStyle style) {
    switch (style) {
    case TsuiUIStyle::MacOS:
        return "MACOS";
    case TsuiUIStyle::WinXP:
        return "WINXP";
    case TsuiUIStyle::DeepBlue:
        return "DEEPBLUE";
    case TsuiUIStyle::Protein:
        return "PROTEIN";
    case TsuiUIStyle::BlueGlass:
        return "BLUEGLASS";
    default:
        return std::string();
    }
}

// ---------------------------------------------------------------------------
// The style a component takes from the form it is created on.

gui::Control* FindForm(gui::Component* owner) {
    auto* container = dynamic_cast<gui::WinControl*>(owner);
    if (container == nullptr) return nullptr;
    for (int i = 0; i < container->ControlCount(); ++i) {
        gui::Control* child = container->Controls(i);
        if (dynamic_cast<TsuiFormLike*>(child) != nullptr) return child;
    }
    return nullptr;
}

TsuiUIStyle FindFormStyle(gui::Component* owner) {
    gui::Control* form = FindForm(owner);
    return form ? dynamic_cast<TsuiFormLike*>(form)->UIStyle() : TsuiUIStyle::DeepBlue;
}

gui::TColor FindFormColor(gui::Component* owner) {
    gui::Control* form = FindForm(owner);
    return form ? form->Color() : gui::clBtnFace;
}

gui::TColor FindFormBorderColor(gui::Component* owner) {
    gui::Control* form = FindForm(owner);
    return form ? GetThemeColor(dynamic_cast<TsuiFormLike*>(form)->UIStyle(), thControlBorderColor) : 0;
}

// ---------------------------------------------------------------------------
// The style walks.

namespace {

template <class T> bool IsA(gui::Control* child) {
    return dynamic_cast<T*>(child) != nullptr;
}

// A button-like control takes the style unless the designer made it Custom.
template <class T> [[maybe_unused]] void TakeStyleUnlessCustom(gui::Control* child, TsuiUIStyle style) {
    auto* c = dynamic_cast<T*>(child);
    if (c->UIStyle() != TsuiUIStyle::Custom) c->SetUIStyle(style);
}

template <class T> [[maybe_unused]] void TakeStyle(gui::Control* child, TsuiUIStyle style) {
    dynamic_cast<T*>(child)->SetUIStyle(style);
}

template <class T> [[maybe_unused]] void TakeBorderColor(gui::Control* child, TsuiUIStyle style) {
    dynamic_cast<T*>(child)->SetBorderColor(GetThemeColor(style, thControlBorderColor));
}

// A side channel takes the style's face colour for itself and its bar.
void TakeSideChannelColors(gui::Control* child, TsuiUIStyle style) {
    auto* channel = dynamic_cast<TsuiSideChannel*>(child);
    channel->SetColor(GetThemeColor(style, thControlColor));
    channel->SetSideBarColor(GetThemeColor(style, thControlColor));
}

// A group box takes the style's frame, caption and face colours.
void TakeGroupBoxColors(gui::Control* child, TsuiUIStyle style) {
    auto* box = dynamic_cast<TsuiGroupBox*>(child);
    box->SetBorderColor(GetThemeColor(style, thControlBorderColor));
    box->Font().SetColor(GetThemeColor(style, thControlFontColor));
    box->SetColor(GetThemeColor(style, thControlColor));
}

template <class T> void EnterContainer(gui::Control* child, TsuiUIStyle style) {
    dynamic_cast<T*>(child)->UpdateChildrenStyle(style);
}

} // namespace

// What each skinned class takes from a form's style, in the order the rows run:
//   TsuiRadioButton   UIStyle unless Custom        TsuiCheckListBox  BorderColor
//   TsuiCheckBox      UIStyle unless Custom        TsuiSideChannel   Color, SideBarColor := thControlColor
//   TsuiProgressBar   UIStyle unless Custom        TsuiCheckGroup    UIStyle
//   TsuiButton        UIStyle unless Custom        TsuiComboBox      UIStyle
//   TsuiListBox       BorderColor                  TsuiListView      BorderColor
//   TsuiGroupBox      BorderColor, Font.Color      TsuiTreeView      BorderColor
//                     := thControlFontColor,       TsuiTabControl    UIStyle
//                     Color := thControlColor      TsuiTrackBar      UIStyle
//   TsuiEdit          BorderColor
//   TsuiMemo          BorderColor
// (BorderColor is thControlBorderColor.)
std::span<const TsuiStyleRow> ChildStyleRows() {
    static const std::vector<TsuiStyleRow> rows = {
        {IsA<TsuiRadioButton>, TakeStyleUnlessCustom<TsuiRadioButton>},
        {IsA<TsuiCheckBox>, TakeStyleUnlessCustom<TsuiCheckBox>},
        {IsA<TsuiProgressBar>, TakeStyleUnlessCustom<TsuiProgressBar>},
        {IsA<TsuiButton>, TakeStyleUnlessCustom<TsuiButton>},
        {IsA<TsuiListBox>, TakeBorderColor<TsuiListBox>},
        {IsA<TsuiGroupBox>, TakeGroupBoxColors},
        {IsA<TsuiEdit>, TakeBorderColor<TsuiEdit>},
        {IsA<TsuiMemo>, TakeBorderColor<TsuiMemo>},
        {IsA<TsuiCheckListBox>, TakeBorderColor<TsuiCheckListBox>},
        {IsA<TsuiSideChannel>, TakeSideChannelColors},
        {IsA<TsuiCheckGroup>, TakeStyle<TsuiCheckGroup>},
        {IsA<TsuiComboBox>, TakeStyle<TsuiComboBox>},
        {IsA<TsuiListView>, TakeBorderColor<TsuiListView>},
        {IsA<TsuiTreeView>, TakeBorderColor<TsuiTreeView>},
        {IsA<TsuiTabControl>, TakeStyle<TsuiTabControl>},
        {IsA<TsuiTrackBar>, TakeStyle<TsuiTrackBar>},
    };
    return rows;
}

// The containers a form's style walk enters: their direct children take the style too.
std::span<const TsuiStyleRow> ContainerStyleRows() {
    static const std::vector<TsuiStyleRow> rows = {
        {IsA<TsuiImagePanel>, EnterContainer<TsuiImagePanel>},
        {IsA<TsuiGroupBox>, EnterContainer<TsuiGroupBox>},
        {IsA<TsuiTabControl>, EnterContainer<TsuiTabControl>},
    };
    return rows;
}

void ApplyStyleRows(gui::WinControl* container, TsuiUIStyle style, std::span<const TsuiStyleRow> rows) {
    if (container == nullptr) return;
    for (int i = 0; i < container->ControlCount(); ++i) {
        gui::Control* child = container->Controls(i);
        for (const TsuiStyleRow& row : rows) {
            if (row.Test(child)) row.Apply(child, style);
        }
    }
}

void ApplyStyleToChildren(gui::WinControl* container, TsuiUIStyle style) {
    ApplyStyleRows(container, style, ChildStyleRows());
}

void ApplyStyleToContainers(gui::WinControl* form, TsuiUIStyle style) {
    ApplyStyleRows(form, style, ContainerStyleRows());
}

} // namespace sui
