// The skin styles, the theme table of colours, sizes, flags and bitmap names per style,
// the typed lookups into it, and how a style reaches the components on a skinned form.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "gui/Color.h"

namespace gui {
class Bitmap;
class Component;
class Control;
class WinControl;
} // namespace gui

namespace sui {

// The looks of the toolkit. Custom keeps whatever pictures and colours the designer gave.
enum class TsuiUIStyle : std::uint8_t { Custom, MacOS, WinXP, DeepBlue, Protein, BlueGlass };

// The built-in styles (every one but Custom), in menu order.
inline constexpr std::array<TsuiUIStyle, 5> kBuiltInStyles = {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP,
                                                              TsuiUIStyle::DeepBlue, TsuiUIStyle::Protein,
                                                              TsuiUIStyle::BlueGlass};

// One entry per slot in every style's table; the names say what the slot holds.
enum TsuiThemeSlot : int {
    thFormBorderColor,
    thFormColor,
    thFormBorderWidth,
    thFormMinWidth,
    thFormRoundCorner,
    thControlBorderColor,
    thControlColor,
    thControlFontColor,
    thMenuSelectedBorderColor,
    thMenuSelectedColor,
    thMenuSelectedFontColor,
    thMenuColor,
    thMenuFontColor,
    thMenuBarColor,
    thMenuSeparatorColor,
    thMenuBarSeparatorColor,
    thMenuItemHeight,
    thMenuSeparatorHeight,
    thMenuBarWidth,
    thTitleButtonTransparent,
    thTitleLeftBtnXOffset,
    thTitleRightBtnXOffset,
    thTitleButtonTop,
    thTabHeight,
    thComboBoxButtonColor,
    thTrackBarColor,
    thMenuChecked,
    thButtonNormal,
    thButtonMouseOn,
    thButtonMouseDown,
    thCheckBoxDisableCheck,
    thCheckBoxDisableUncheck,
    thCheckBoxCheck,
    thCheckBoxUncheck,
    thCheckBoxMouseOnCheck,
    thCheckBoxMouseOnUncheck,
    thCheckBoxMouseDownCheck,
    thCheckBoxMouseDownUncheck,
    thRadioButtonDisableCheck,
    thRadioButtonDisableUncheck,
    thRadioButtonCheck,
    thRadioButtonUncheck,
    thRadioButtonMouseOnCheck,
    thRadioButtonMouseOnUncheck,
    thRadioButtonMouseDownCheck,
    thRadioButtonMouseDownUncheck,
    thProgressBar,
    thProgressBarV,
    thTitleLeft,
    thTitleClient,
    thTitleRight,
    thTitleCloseNormal,
    thTitleCloseMouseOn,
    thTitleCloseMouseDown,
    thTitleMaxNormal,
    thTitleMaxMouseOn,
    thTitleMaxMouseDown,
    thTitleMinNormal,
    thTitleMinMouseOn,
    thTitleMinMouseDown,
    thTitleHelpNormal,
    thTitleHelpMouseOn,
    thTitleHelpMouseDown,
    thTitleControlBoxNormal,
    thTitleControlBoxMouseOn,
    thTitleControlBoxMouseDown,
    thTitleRestoreNormal,
    thTitleRestoreMouseOn,
    thTitleRestoreMouseDown,
    thTabActive,
    thTabInactive,
    thTabLine,
    thTrackBarBar,
    thTrackBarSlider,
    thTrackBarBarV,
    thTrackBarSliderV,
    thSlotCount
};

// What a slot holds; the same for every style.
enum class TsuiThemeKind : std::uint8_t { IntegerKind, ColorKind, BitmapNameKind, BooleanKind };

// A raw entry of the table: a number (integer, colour 0x00BBGGRR, 0 or 1) or a bitmap name.
struct TsuiThemeValue {
    std::int32_t Value = -1;
    const char* Name = nullptr;
    TsuiThemeKind Kind = TsuiThemeKind::IntegerKind;
};

// The entry and kind of a slot; for Custom (or any style outside the five) -1 as an integer.
TsuiThemeValue GetThemeValue(TsuiUIStyle style, TsuiThemeSlot slot);
TsuiThemeKind GetThemeKind(TsuiThemeSlot slot);
// The typed lookups give their default when the slot is of another kind: -1, 0, false, "".
int GetThemeInteger(TsuiUIStyle style, TsuiThemeSlot slot);
gui::TColor GetThemeColor(TsuiUIStyle style, TsuiThemeSlot slot);
bool GetThemeBoolean(TsuiUIStyle style, TsuiThemeSlot slot);
std::string GetThemeBitmapName(TsuiUIStyle style, TsuiThemeSlot slot);
// Loads the slot's bitmap from the program's own resources into bitmap, replacing it. A name
// missing from the resources (or a slot without a name) raises gui::EResNotFound.
void LoadThemeBitmap(gui::Bitmap& bitmap, TsuiUIStyle style, TsuiThemeSlot slot);

// The style word of a style ("PROTEIN"); empty for Custom.
std::string StyleWord(TsuiUIStyle style);

// What a skinned form frame shows the components placed beside it. TsuiForm derives from it,
// so the look-ups below find the frame without knowing its class.
class TsuiFormLike {
  public:
    virtual ~TsuiFormLike() = default;
    virtual TsuiUIStyle UIStyle() const = 0;
};

// The first skinned form frame among the owner's child controls (lowest child index), or null
// when the owner is absent, not a windowed control, or holds none.
gui::Control* FindForm(gui::Component* owner);
// What a component being created takes from that frame: its style (DeepBlue without one),
// its Color (clBtnFace without one), the style's control border colour (0 without one).
TsuiUIStyle FindFormStyle(gui::Component* owner);
gui::TColor FindFormColor(gui::Component* owner);
gui::TColor FindFormBorderColor(gui::Component* owner);

// One row of a style walk: the class test ("is a", so subclasses pass) and what a child that
// passes it takes from the style.
struct TsuiStyleRow {
    bool (*Test)(gui::Control* child);
    void (*Apply)(gui::Control* child, TsuiUIStyle style);
};

// The rows ApplyStyleToChildren runs, and the containers ApplyStyleToContainers enters.
std::span<const TsuiStyleRow> ChildStyleRows();
std::span<const TsuiStyleRow> ContainerStyleRows();

// Every direct child of the container, in child-index order, gets every row it passes.
void ApplyStyleToChildren(gui::WinControl* container, TsuiUIStyle style);
// The same walk with other rows (the style walks and the tests use it).
void ApplyStyleRows(gui::WinControl* container, TsuiUIStyle style, std::span<const TsuiStyleRow> rows);
// Each direct child of the form that is a style container gets UpdateChildrenStyle(style).
void ApplyStyleToContainers(gui::WinControl* form, TsuiUIStyle style);

} // namespace sui
