// SkinGallery: every control of the skin toolkit on one skinned form, in any of the five
// styles.
//
//   SkinGallery.exe [--style NAME]          shows the gallery (in the style named; DeepBlue)
//   SkinGallery.exe --screenshots DIR       writes DIR/gallery-<style>.png for each style, ends
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
#include "tools/gallery/WindowPicture.h"

namespace {

using gallery::Tfrm_gallery;
using sui::TsuiUIStyle;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::optional<TsuiUIStyle> StyleNamed(const std::string& name) {
    for (TsuiUIStyle style : gallery::kStyles)
        if (Lower(gallery::StyleName(style)) == Lower(name)) return style;
    return std::nullopt;
}

struct Options {
    TsuiUIStyle style = TsuiUIStyle::DeepBlue;
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
        } else if (args[i] == "--screenshots" && hasValue) {
            options.screenshots = args[++i];
        } else {
            std::fprintf(stderr, "usage: SkinGallery [--style NAME] [--screenshots DIR]\n");
            return std::nullopt;
        }
    }
    return options;
}

// The gallery as it first shows in each style, one PNG per style, with the title bar of an
// active window; false when a file cannot be written.
bool WriteScreenshots(const std::string& folder) {
    for (TsuiUIStyle style : gallery::kStyles) {
        std::unique_ptr<Tfrm_gallery> form = std::make_unique<Tfrm_gallery>(nullptr, style);
        form->HandleNeeded();
        form->suiForm1->TitleBar()->SetFormActive(true);
        gui::App().ProcessMessages();
        gui::Bitmap picture;
        gallery::PrintWindowTree(form->Handle(), picture);
        // The border strips are drawn on the form's canvas, not in its paint: draw them into
        // the picture too.
        gui::Canvas& canvas = form->Canvas();
        HDC screen = canvas.Handle();
        canvas.SetHandle(picture.Canvas().Handle());
        form->suiForm1->DrawFormBorder();
        canvas.SetHandle(screen);
        const std::string path = folder + "/gallery-" + Lower(gallery::StyleName(style)) + ".png";
        if (!tools::WritePng(path, gallery::PictureRgba(picture, form->Handle()), picture.Width(),
                             picture.Height())) {
            std::fprintf(stderr, "SkinGallery: cannot write %s\n", path.c_str());
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
