// The pictures the program carries besides the theme table's: resource names of the bitmaps
// single controls load by name, and of the dialogs' own pictures. The pictures themselves are
// drawn by resources/artwork/generate.py and linked in with nimbre_resources.
#pragma once

namespace sui::res {

// Bitmaps (RT_BITMAP) that single skinned controls load by these names.
inline constexpr const char* MenuChecked = "MENU_CHECKED";                      // 16 x 16, white is the mask
inline constexpr const char* MacOSMenuBar = "MACOS_MENU_BAR";                   // 1 x 22
inline constexpr const char* MacOSMenuSelect = "MACOS_MENU_SELECT";             // 1 x 21
inline constexpr const char* MacOSFormBackground = "MACOS_FORM_BACKGROUND";     // 8 x 8 brush pattern
inline constexpr const char* ProteinFormBackground = "PROTEIN_FORM_BACKGROUND"; // 8 x 8 brush pattern
inline constexpr const char* MacOSComboBoxButton = "MACOS_COMBOBOX_BUTTON";     // 16 x 17
inline constexpr const char* SideChannelBarNormal = "SIDECHANNEL_BAR_NORMAL";   // 8 x 172
inline constexpr const char* SideChannelBarMouseOn = "SIDECHANNEL_BAR_MOUSEON"; // 8 x 172
inline constexpr const char* SideChannelBtnOnTop = "SIDECHANNEL_BTN_ONTOP";     // 8 x 7, bottom-left key
inline constexpr const char* SideChannelBtnNoOnTop = "SIDECHANNEL_BTN_NOONTOP"; // 7 x 9, bottom-left key

// The settings dialog's and the preview window's own pictures.
// The cartoon figure: a 51 x 43 JPEG kept as RCDATA (gui::JpegImage::LoadFromResourceName).
inline constexpr const char* DialogFigure = "DIALOG_FIGURE";
// The crossed-out loudspeaker: 21 x 21, 24 bits, magenta key in the bottom-left pixel.
inline constexpr const char* DialogSoundOff = "DIALOG_SOUNDOFF";
// The "Enjoy Yourself!" banner: 127 x 27, 24 bits, bold blue on white (white is its key).
inline constexpr const char* DialogBanner = "DIALOG_BANNER";
// Title sections: left 441 x 23 at 8 bits; right and client 1 x 23 at 4 bits.
inline constexpr const char* DialogTitleLeft = "DIALOG_TITLE_LEFT";
inline constexpr const char* DialogTitleRight = "DIALOG_TITLE_RIGHT";
inline constexpr const char* DialogTitleClient = "DIALOG_TITLE_CLIENT";
// Title-bar buttons: 19 x 19 at 4 bits on a magenta key (bottom-left pixel).
inline constexpr const char* DialogCtlBoxNormal = "DIALOG_CTLBOX_NORMAL";
inline constexpr const char* DialogCtlBoxMouseOn = "DIALOG_CTLBOX_MOUSEON";
inline constexpr const char* DialogCtlBoxMouseDown = "DIALOG_CTLBOX_MOUSEDOWN";
inline constexpr const char* DialogCloseNormal = "DIALOG_CLOSE_NORMAL";
inline constexpr const char* DialogCloseMouseOn = "DIALOG_CLOSE_MOUSEON";
inline constexpr const char* DialogCloseMouseDown = "DIALOG_CLOSE_MOUSEDOWN";

// The application icon (16, 32, 48 and 256 pixels).
inline constexpr const char* MainIcon = "MAINICON";

} // namespace sui::res
