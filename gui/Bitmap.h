// A 32-bit device-independent bitmap (DIB section, top-down) with its own canvas.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "gui/Canvas.h"
#include "gui/GdiObject.h"
#include "gui/Graphic.h"

namespace gui {

// How the transparent colour is chosen: the bottom-left pixel, or a given colour.
enum TTransparentMode : std::uint8_t { tmAuto, tmFixed };

class Bitmap : public Graphic {
  public:
    Bitmap();
    // A bitmap of that size, filled white.
    Bitmap(int width, int height);
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap&) = delete; // Assign copies
    ~Bitmap() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Resizing keeps the pixels that still fit; new area is white. 0 x 0 frees the pixels.
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }
    void SetSize(int width, int height);
    // Copies the pixels and flags of other.
    void Assign(const Bitmap& other);

    // The canvas over the bitmap's pixels; the same object for the bitmap's whole life, also
    // across SetSize and loads (its font, pen and brush stay).
    gui::Canvas& Canvas();
    HBITMAP Handle() const { return handle_.Get(); }
    // Top-down rows of 0x00RRGGBB pixels (the DIB's byte order is B, G, R, x).
    std::uint32_t* ScanLine(int y);
    const std::uint32_t* ScanLine(int y) const;

    // Loads the bitmap resource (RT_BITMAP, 1, 4, 8, 24 or 32 bits) named `name` from module;
    // throws EResNotFound "Resource <name> not found" and leaves the bitmap as it was.
    void LoadFromResourceName(HINSTANCE module, const std::string& name);
    // Loads a .bmp file (used by tests and tools); throws EInvalidGraphic on bad data.
    void LoadFromFile(const std::string& path);

    // The colour drawn as transparent: tmAuto the bottom-left pixel, tmFixed the given one.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color); // switches to tmFixed
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);

    void Draw(gui::Canvas& canvas, const RECT& dest) const override;
    std::unique_ptr<Graphic> Clone() const override;

  private:
    friend void DrawMasked(gui::Canvas& canvas, const RECT& dest, const Bitmap& keyed, const Bitmap& mask);
    void LoadFromDib(const std::uint8_t* data, std::size_t size, std::size_t bitsOffset);
    HDC DC() const;
    void Replace(int width, int height);

    int width_ = 0;
    int height_ = 0;
    std::uint32_t* pixels_ = nullptr;
    // Destroyed in reverse order: the canvas forgets the DC, the DIB is put out of the DC, the
    // DIB is deleted, then the DC.
    mutable std::unique_ptr<MemoryDC> dc_;
    BitmapHandle handle_;
    mutable std::unique_ptr<SelectObjectGuard> selection_;
    gui::Canvas canvas_;
    TTransparentMode transparentMode_ = tmAuto;
    TColor transparentColor_ = clNone;
};

// Splits source into the two halves of a masked draw: keyed gets source's pixels with every
// pixel of key colour black, mask is white where source has the key colour and black elsewhere.
void MakeMask(const Bitmap& source, TColor key, Bitmap& keyed, Bitmap& mask);
// Draws keyed through mask into dest on canvas (stretched when sizes differ): the canvas stays
// as it was where mask is white.
void DrawMasked(Canvas& canvas, const RECT& dest, const Bitmap& keyed, const Bitmap& mask);

} // namespace gui
