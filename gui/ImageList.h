// A list of equally sized images, each with a transparency mask, drawn enabled or greyed.
#pragma once

#include <memory>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Color.h"

namespace gui {

class Canvas;

class ImageList {
  public:
    ImageList(int width, int height);
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }

    // Cuts image into as many images of Width() as fit across it (a remainder is dropped; rows
    // below Height() are ignored). mask: white where transparent, black where opaque; null: all
    // opaque. Returns the index of the first image added, -1 when none fits.
    int Add(const Bitmap& image, const Bitmap* mask);
    // As Add, with every pixel of maskColor transparent.
    int AddMasked(const Bitmap& image, TColor maskColor);
    void Clear();

    // Draws image index at (x, y) with its mask; disabled draws a greyed rendering.
    void Draw(Canvas& canvas, int x, int y, int index, bool enabled = true) const;
    // Makes bitmap the list's image size, white, and draws image index on it (so transparent
    // pixels come out white).
    void GetBitmap(int index, Bitmap& bitmap) const;

  private:
    struct Image {
        Bitmap pixels; // transparent pixels black
        Bitmap mask;   // white where transparent, black where opaque
    };
    int width_;
    int height_;
    std::vector<std::unique_ptr<Image>> images_;
};

} // namespace gui
