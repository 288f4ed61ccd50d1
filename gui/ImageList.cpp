#include "gui/ImageList.h"

#include <algorithm>

#include "gui/Canvas.h"

namespace gui {

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

// The greyed look of a disabled image: each opaque pixel becomes a light grey of its brightness.
std::uint32_t Greyed(std::uint32_t pixel) {
    const std::uint32_t r = (pixel >> 16) & 0xFF;
    const std::uint32_t g = (pixel >> 8) & 0xFF;
    const std::uint32_t b = pixel & 0xFF;
    const std::uint32_t level = 128 + (r * 30 + g * 59 + b * 11) / 200;
    return (level << 16) | (level << 8) | level;
}

} // namespace

ImageList::ImageList(int width, int height) : width_(std::max(width, 0)), height_(std::max(height, 0)) {}

void ImageList::Clear() {
    images_.clear();
}

int ImageList::Add(const Bitmap& image, const Bitmap* mask) {
    if (width_ == 0 || height_ == 0) return -1;
    const int count = image.Width() / width_;
    if (count == 0) return -1;
    const int first = Count();
    const int rows = std::min(height_, image.Height());
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<Image>();
        entry->pixels.SetSize(width_, height_);
        entry->mask.SetSize(width_, height_); // white: rows the source lacks stay transparent
        for (int y = 0; y < height_; ++y) {
            std::uint32_t* pixels = entry->pixels.ScanLine(y);
            std::fill(pixels, pixels + width_, 0);
        }
        for (int y = 0; y < rows; ++y) {
            const std::uint32_t* source = image.ScanLine(y) + i * width_;
            const std::uint32_t* maskRow = (mask && y < mask->Height() && (i + 1) * width_ <= mask->Width())
                                               ? mask->ScanLine(y) + i * width_
                                               : nullptr;
            std::uint32_t* pixels = entry->pixels.ScanLine(y);
            std::uint32_t* bits = entry->mask.ScanLine(y);
            for (int x = 0; x < width_; ++x) {
                const bool transparent = maskRow && (maskRow[x] & kWhite) == kWhite;
                bits[x] = transparent ? kWhite : 0;
                pixels[x] = transparent ? 0 : (source[x] & kWhite);
            }
        }
        images_.push_back(std::move(entry));
    }
    return first;
}

int ImageList::AddMasked(const Bitmap& image, TColor maskColor) {
    Bitmap mask(image.Width(), image.Height());
    const std::uint32_t key = ColorToPixel(ColorToRGB(maskColor));
    for (int y = 0; y < image.Height(); ++y) {
        const std::uint32_t* source = image.ScanLine(y);
        std::uint32_t* bits = mask.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x)
            bits[x] = (source[x] & kWhite) == key ? kWhite : 0;
    }
    return Add(image, &mask);
}

void ImageList::Draw(Canvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count()) return;
    const Image& image = *images_[static_cast<std::size_t>(index)];
    const RECT dest = MakeBounds(x, y, width_, height_);
    if (enabled) {
        DrawMasked(canvas, dest, image.pixels, image.mask);
        return;
    }
    Bitmap grey(image.pixels);
    for (int row = 0; row < height_; ++row) {
        std::uint32_t* pixels = grey.ScanLine(row);
        const std::uint32_t* bits = image.mask.ScanLine(row);
        for (int col = 0; col < width_; ++col)
            if (bits[col] == 0) pixels[col] = Greyed(pixels[col]);
    }
    DrawMasked(canvas, dest, grey, image.mask);
}

void ImageList::GetBitmap(int index, Bitmap& bitmap) const {
    bitmap.SetSize(width_, height_);
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint32_t* row = bitmap.ScanLine(y);
        std::fill(row, row + bitmap.Width(), kWhite);
    }
    Draw(bitmap.Canvas(), 0, 0, index, true);
}

} // namespace gui
