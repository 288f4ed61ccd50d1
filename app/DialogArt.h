// What the settings dialog and the preview window share of their looks: the
// pictures they carry in the program's resources, their title-bar sections
// and control-box button, and their fonts.
#pragma once

#include "gui/Color.h"
#include "gui/Font.h"
#include "gui/Picture.h"
#include "skin/SUIForm.h"
#include "skin/SUITitleBarButton.h"

#include <string>

namespace dialog_art {

// The product page the preview's link line opens, and the text it shows
// (the same address without its scheme).
inline constexpr const char* ProductAddress = "http://nimbre.example.org";
inline constexpr const char* ProductText = "nimbre.example.org";

// The colour of the frames' face (0xFBFBFB).
inline constexpr gui::TColor FrameColor = 16514043;

// A bitmap resource of the program loaded into the picture.
void LoadBitmap(gui::Picture& picture, const std::string& name);
// The cartoon figure, a 51 x 43 JPEG.
void LoadFigure(gui::Picture& picture);

// A font of the given face, character height in pixels and colour.
gui::Font MakeFont(const std::string& face, int pixelHeight, gui::TColor color);

// The frame's title bar as both windows have it: the left, right and client
// sections in place of the style's, and the window buttons given (the
// control box always, the close button in the settings dialog only), each
// transparent at top 2 in the Protein style with its own three pictures.
void SetTitleBarSections(sui::TsuiForm& frame);
void AddControlBoxButton(sui::TsuiForm& frame);
void AddCloseButton(sui::TsuiForm& frame);

}  // namespace dialog_art
