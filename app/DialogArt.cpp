#include "app/DialogArt.h"

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/JpegImage.h"
#include "skin/SUIResDef.h"
#include "skin/SUITitleBarSection.h"

#include <memory>

namespace dialog_art {

void LoadBitmap(gui::Picture& picture, const std::string& name) {
    auto bitmap = std::make_unique<gui::Bitmap>();
    bitmap->LoadFromResourceName(gui::App().ModuleHandle(), name);
    picture.SetGraphic(std::move(bitmap));
}

void LoadFigure(gui::Picture& picture) {
    auto jpeg = std::make_unique<gui::JpegImage>();
    jpeg->LoadFromResourceName(gui::App().ModuleHandle(), sui::res::DialogFigure);
    picture.SetGraphic(std::move(jpeg));
}

gui::Font MakeFont(const std::string& face, int pixelHeight, gui::TColor color) {
    gui::Font font;
    font.SetName(face);
    font.SetHeight(-pixelHeight);
    font.SetColor(color);
    return font;
}

void SetTitleBarSections(sui::TsuiForm& frame) {
    using sui::TsuiTitleBarAlign;
    sui::TsuiTitleBarSections& sections = frame.TitleBarSections();
    sections.Clear();

    sui::TsuiTitleBarSection& left = sections.Add();
    left.SetAlign(TsuiTitleBarAlign::suiLeft);
    LoadBitmap(left.Picture(), sui::res::DialogTitleLeft);
    left.SetAutoSize(true);
    left.SetWidth(441);
    left.SetStretch(false);

    sui::TsuiTitleBarSection& right = sections.Add();
    right.SetAlign(TsuiTitleBarAlign::suiRight);
    LoadBitmap(right.Picture(), sui::res::DialogTitleRight);
    right.SetAutoSize(true);
    right.SetWidth(1);
    right.SetStretch(false);

    sui::TsuiTitleBarSection& client = sections.Add();
    client.SetAlign(TsuiTitleBarAlign::suiClient);
    LoadBitmap(client.Picture(), sui::res::DialogTitleClient);
    client.SetAutoSize(false);
    client.SetWidth(10);
}

namespace {
void addButton(sui::TsuiForm& frame, sui::TsuiTitleBarBtnType type, const char* normal, const char* mouseOn,
               const char* mouseDown) {
    sui::TsuiTitleBarButton& button = frame.TitleBarButtons().Add();
    button.SetButtonType(type);
    button.SetTransparent(true);
    button.SetTop(2);
    button.SetUIStyle(sui::TsuiUIStyle::Protein);
    // The window's own pictures go straight into the button, as a stored
    // layout puts them.
    LoadBitmap(button.PicNormal(), normal);
    LoadBitmap(button.PicMouseOn(), mouseOn);
    LoadBitmap(button.PicMouseDown(), mouseDown);
}
}  // namespace

void AddControlBoxButton(sui::TsuiForm& frame) {
    addButton(frame, sui::TsuiTitleBarBtnType::suiControlBox, sui::res::DialogCtlBoxNormal,
              sui::res::DialogCtlBoxMouseOn, sui::res::DialogCtlBoxMouseDown);
}

void AddCloseButton(sui::TsuiForm& frame) {
    addButton(frame, sui::TsuiTitleBarBtnType::suiClose, sui::res::DialogCloseNormal, sui::res::DialogCloseMouseOn,
              sui::res::DialogCloseMouseDown);
}

}  // namespace dialog_art
