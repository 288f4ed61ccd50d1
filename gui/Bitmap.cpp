#include "gui/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "gui/Exception.h"
#include "gui/Text.h"

namespace gui {

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

} // namespace

Bitmap::Bitmap() = default;

Bitmap::Bitmap(int width, int height) {
    SetSize(width, height);
}

Bitmap::Bitmap(const Bitmap& other)
    : Graphic(other), transparentMode_(other.transparentMode_), transparentColor_(other.transparentColor_) {
    Replace(other.width_, other.height_);
    if (pixels_) std::memcpy(pixels_, other.ScanLine(0), sizeof(std::uint32_t) * width_ * height_);
}

Bitmap::~Bitmap() {
    canvas_.SetHandle(nullptr);
}

HDC Bitmap::DC() const {
    if (!dc_) {
        dc_ = std::make_unique<MemoryDC>();
        if (handle_) selection_ = std::make_unique<SelectObjectGuard>(dc_->Get(), handle_.Get());
    }
    return dc_->Get();
}

gui::Canvas& Bitmap::Canvas() {
    canvas_.SetHandle(DC());
    return canvas_;
}

// Puts a new white DIB of that size in place of the old one (none for an empty size).
void Bitmap::Replace(int width, int height) {
    if (width <= 0 || height <= 0) width = height = 0;
    DibSection dib{};
    if (width > 0) dib = CreateTopDownDib(width, height);
    selection_.reset();
    handle_ = std::move(dib.handle);
    pixels_ = dib.pixels;
    width_ = width;
    height_ = height;
    if (pixels_) {
        GdiFlush();
        std::fill(pixels_, pixels_ + static_cast<std::size_t>(width_) * height_, kWhite);
    }
    // A bitmap with pixels always has its DC, so drawing it never creates lasting objects.
    if (handle_) {
        if (!dc_) dc_ = std::make_unique<MemoryDC>();
        selection_ = std::make_unique<SelectObjectGuard>(dc_->Get(), handle_.Get());
    }
}

void Bitmap::SetSize(int width, int height) {
    if (width <= 0 || height <= 0) width = height = 0;
    if (width == width_ && height == height_) return;
    std::vector<std::uint32_t> old;
    const int oldWidth = width_;
    const int oldHeight = height_;
    if (pixels_) {
        GdiFlush();
        old.assign(pixels_, pixels_ + static_cast<std::size_t>(width_) * height_);
    }
    Replace(width, height);
    const int keepWidth = std::min(oldWidth, width_);
    const int keepHeight = std::min(oldHeight, height_);
    for (int y = 0; y < keepHeight; ++y)
        std::memcpy(pixels_ + static_cast<std::size_t>(y) * width_,
                    old.data() + static_cast<std::size_t>(y) * oldWidth, sizeof(std::uint32_t) * keepWidth);
    Changed();
}

void Bitmap::Assign(const Bitmap& other) {
    if (&other == this) return;
    Replace(other.width_, other.height_);
    if (pixels_) std::memcpy(pixels_, other.ScanLine(0), sizeof(std::uint32_t) * width_ * height_);
    transparent_ = other.transparent_;
    transparentMode_ = other.transparentMode_;
    transparentColor_ = other.transparentColor_;
    Changed();
}

std::uint32_t* Bitmap::ScanLine(int y) {
    GdiFlush();
    return pixels_ ? pixels_ + static_cast<std::size_t>(y) * width_ : nullptr;
}

const std::uint32_t* Bitmap::ScanLine(int y) const {
    GdiFlush();
    return pixels_ ? pixels_ + static_cast<std::size_t>(y) * width_ : nullptr;
}

// data holds a BITMAPINFOHEADER (or larger header), its colour table, and the pixel bits at
// bitsOffset; everything is checked against size before Windows reads it.
void Bitmap::LoadFromDib(const std::uint8_t* data, std::size_t size, std::size_t bitsOffset) {
    auto invalid = [] { return EInvalidGraphic("Bitmap image is not valid"); };
    if (size < sizeof(BITMAPINFOHEADER)) throw invalid();
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof(header));
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size) throw invalid();
    const int bitCount = header.biBitCount;
    const bool rle = header.biCompression == BI_RLE4 || header.biCompression == BI_RLE8;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        throw invalid();
    if (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS && !rle) throw invalid();
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biWidth > 16384 || header.biHeight > 16384 ||
        header.biHeight < -16384 || header.biPlanes != 1)
        throw invalid();
    const int width = header.biWidth;
    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    std::size_t colors = header.biClrUsed;
    if (colors == 0 && bitCount <= 8) colors = std::size_t{1} << bitCount;
    if (colors > 256) throw invalid();
    std::size_t tableSize = colors * sizeof(RGBQUAD);
    if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER)) tableSize += 12;
    if (header.biSize + tableSize > size) throw invalid();
    if (bitsOffset == 0) bitsOffset = header.biSize + tableSize;
    const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    const std::size_t needed = rle ? header.biSizeImage : stride * height;
    if (bitsOffset > size || needed > size - bitsOffset || (rle && needed == 0)) throw invalid();

    // The info block with room for a full colour table, so Windows never reads past the data.
    std::vector<std::uint8_t> info(header.biSize + 256 * sizeof(RGBQUAD) + 12, 0);
    std::memcpy(info.data(), data, header.biSize + tableSize);
    Bitmap loaded(width, height);
    const int lines =
        SetDIBitsToDevice(loaded.Canvas().Handle(), 0, 0, width, height, 0, 0, 0, height, data + bitsOffset,
                          reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    if (lines == 0) throw invalid();
    GdiFlush();
    Replace(width, height);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i)
        pixels_[i] = loaded.pixels_[i] & 0x00FFFFFF;
    Changed();
}

void Bitmap::LoadFromResourceName(HINSTANCE module, const std::string& name) {
    const std::wstring wideName = Utf8ToWide(name);
    HRSRC resource = FindResourceW(module, wideName.c_str(), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw EResNotFound(FormatMessageText("Resource %s not found", name));
    LoadFromDib(static_cast<const std::uint8_t*>(data), SizeofResource(module, resource), 0);
}

void Bitmap::LoadFromFile(const std::string& path) {
    std::ifstream file(Utf8ToWide(path).c_str(), std::ios::binary);
    if (!file) throw EInvalidGraphic(FormatMessageText("Cannot open file \"%s\"", path));
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    if (bytes.size() < sizeof(BITMAPFILEHEADER) || bytes[0] != 'B' || bytes[1] != 'M')
        throw EInvalidGraphic("Bitmap image is not valid");
    BITMAPFILEHEADER fileHeader;
    std::memcpy(&fileHeader, bytes.data(), sizeof(fileHeader));
    const std::size_t offset = fileHeader.bfOffBits;
    if (offset < sizeof(BITMAPFILEHEADER)) throw EInvalidGraphic("Bitmap image is not valid");
    LoadFromDib(bytes.data() + sizeof(BITMAPFILEHEADER), bytes.size() - sizeof(BITMAPFILEHEADER),
                offset - sizeof(BITMAPFILEHEADER));
}

TColor Bitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed) return transparentColor_;
    if (!pixels_) return clNone;
    return PixelToColor(ScanLine(height_ - 1)[0]);
}

void Bitmap::SetTransparentColor(TColor color) {
    transparentColor_ = color;
    transparentMode_ = tmFixed;
    Changed();
}

void Bitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode == transparentMode_) return;
    transparentMode_ = mode;
    Changed();
}

void Bitmap::Draw(gui::Canvas& canvas, const RECT& dest) const {
    if (Empty()) return;
    if (transparent_) {
        Bitmap keyed;
        Bitmap mask;
        MakeMask(*this, TransparentColor(), keyed, mask);
        DrawMasked(canvas, dest, keyed, mask);
        return;
    }
    HDC target = canvas.Handle();
    const int oldMode = SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, DC(), 0, 0,
               width_, height_, canvas.CopyMode());
    SetStretchBltMode(target, oldMode);
}

std::unique_ptr<Graphic> Bitmap::Clone() const {
    return std::make_unique<Bitmap>(*this);
}

void MakeMask(const Bitmap& source, TColor key, Bitmap& keyed, Bitmap& mask) {
    keyed.Assign(source);
    mask.SetSize(source.Width(), source.Height());
    const std::uint32_t keyPixel = ColorToPixel(ColorToRGB(key));
    const bool hasKey = key != clNone;
    for (int y = 0; y < source.Height(); ++y) {
        std::uint32_t* keyedRow = keyed.ScanLine(y);
        std::uint32_t* maskRow = mask.ScanLine(y);
        for (int x = 0; x < source.Width(); ++x) {
            const bool transparent = hasKey && (keyedRow[x] & 0x00FFFFFF) == keyPixel;
            maskRow[x] = transparent ? kWhite : 0;
            if (transparent) keyedRow[x] = 0;
        }
    }
}

void DrawMasked(Canvas& canvas, const RECT& dest, const Bitmap& keyed, const Bitmap& mask) {
    if (keyed.Empty() || mask.Width() != keyed.Width() || mask.Height() != keyed.Height()) return;
    HDC target = canvas.Handle();
    const int width = dest.right - dest.left;
    const int height = dest.bottom - dest.top;
    const int oldMode = SetStretchBltMode(target, COLORONCOLOR);
    // Keep the canvas where the mask is white, clear it where the picture goes, then put the
    // picture in (its transparent pixels are black and change nothing).
    StretchBlt(target, dest.left, dest.top, width, height, mask.DC(), 0, 0, mask.Width(), mask.Height(),
               SRCAND);
    StretchBlt(target, dest.left, dest.top, width, height, keyed.DC(), 0, 0, keyed.Width(), keyed.Height(),
               SRCPAINT);
    SetStretchBltMode(target, oldMode);
}

} // namespace gui
