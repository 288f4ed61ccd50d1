// SkinGallery: every control of the skin toolkit on one skinned form, in any of the five
// styles.
//
//   SkinGallery.exe [--style NAME] [--page TAB]
//                                           shows the gallery (in the style named, DeepBlue;
//                                           on the tab named: buttons, panels, bars, ...)
//   SkinGallery.exe --screenshots DIR       writes DIR/gallery-<style>[-<tab>].png for each style
//                                           and tab, ends
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Text.h"
#include "tools/PngFile.h"
#include "tools/gallery/GalleryForm.h"
#include "tools/gallery/GalleryRows.h"
#include "tools/gallery/WindowPicture.h"

namespace {

using gallery::Tfrm_gallery;
using sui::TsuiUIStyle;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::optional<TsuiUIStyle> StyleNamed(const std::string& name) {
    for (TsuiUIStyle style : sui::kBuiltInStyles)
        if (Lower(gallery::StyleName(style)) == Lower(name)) return style;
    return std::nullopt;
}

std::optional<int> PageNamed(const std::string& word) {
    for (size_t i = 0; i < gallery::GalleryPages().size(); ++i)
        if (Lower(word) == gallery::GalleryPages()[i].Word) return static_cast<int>(i);
    return std::nullopt;
}

struct Options {
    TsuiUIStyle style = TsuiUIStyle::DeepBlue;
    int page = 0;
    std::string screenshots; // a folder, or empty to show the gallery
};

// Null when the command line makes no sense (after saying why).
std::optional<Options> ParseOptions(const std::vector<std::string>& args) {
    Options options;
    for (size_t i = 1; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--style" && hasValue) {
            std::optional<TsuiUIStyle> style = StyleNamed(args[++i]);
            if (!style) {
                std::fprintf(stderr,
                             "SkinGallery: no style named %s (MacOS, WinXP, DeepBlue, Protein, BlueGlass)\n",
                             args[i].c_str());
                return std::nullopt;
            }
            options.style = *style;
        } else if (args[i] == "--page" && hasValue) {
            std::optional<int> page = PageNamed(args[++i]);
            if (!page) {
                std::fprintf(stderr, "SkinGallery: no tab named %s\n", args[i].c_str());
                return std::nullopt;
            }
            options.page = *page;
        } else if (args[i] == "--screenshots" && hasValue) {
            options.screenshots = args[++i];
        } else {
            std::fprintf(stderr, "usage: SkinGallery [--style NAME] [--page TAB] [--screenshots DIR]\n");
            return std::nullopt;
        }
    }
    return options;
}

// Paints the form off screen, border strips and all, into a PNG file; false when it cannot be
// written.
bool WritePicture(Tfrm_gallery& form, const std::string& path) {
    gui::App().ProcessMessages();
    gui::Bitmap picture;
    gallery::PrintWindowTree(form.Handle(), picture);
    // The border strips are drawn on the form's canvas, not in its paint: draw them into the
    // picture too.
    gui::Canvas& canvas = form.Canvas();
    HDC screen = canvas.Handle();
    canvas.SetHandle(picture.Canvas().Handle());
    form.suiForm1->DrawFormBorder();
    canvas.SetHandle(screen);
    if (tools::WritePng(path, gallery::PictureRgba(picture, form.Handle()), picture.Width(),
                        picture.Height()))
        return true;
    std::fprintf(stderr, "SkinGallery: cannot write %s\n", path.c_str());
    return false;
}

// For each style, with the title bar of an active window: gallery-<style>.png as the gallery
// first shows (its first tab, the side channel closed), and gallery-<style>-<tab>.png for each
// further tab, with the side channel pinned open. False when a file cannot be written.
bool WriteScreenshots(const std::string& folder) {
    for (TsuiUIStyle style : sui::kBuiltInStyles) {
        std::unique_ptr<Tfrm_gallery> form = std::make_unique<Tfrm_gallery>(nullptr, style);
        form->HandleNeeded();
        form->suiForm1->TitleBar()->SetFormActive(true);
        const std::string stem = folder + "/gallery-" + Lower(gallery::StyleName(style));
        if (!WritePicture(*form, stem + ".png")) return false;
        form->suiSideChannel1->SetQuickMove(true);
        form->suiSideChannel1->SetStayOn(true);
        for (int page = 1; page < form->PageCount(); ++page) {
            form->ShowPage(page);
            if (!WritePicture(*form,
                              stem + "-" + gallery::GalleryPages()[static_cast<size_t>(page)].Word + ".png"))
                return false;
        }
    }
    return true;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::optional<Options> options = ParseOptions(gui::SplitCommandLine(GetCommandLineW()));
    if (!options) return 2;
    int status = 0;
    try {
        gui::App().SetTitle("SkinGallery"); // error boxes; the window is "Skin Gallery"
        if (!options->screenshots.empty()) {
            status = WriteScreenshots(options->screenshots) ? 0 : 1;
        } else {
            auto* form = new Tfrm_gallery(&gui::App(), options->style);
            form->ShowPage(options->page);
            gui::App().SetMainForm(form);
            form->ShowForm();
            gui::App().Run();
        }
    } catch (...) {
        gui::App().HandleException();
        status = 1;
    }
    return status;
}
