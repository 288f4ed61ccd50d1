#include "gui/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "gui/Exception.h"
#include "gui/Text.h"

namespace gui {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr, int) {} // warnings are not shown

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // 3 bytes per pixel, top row first
    std::string error;
};

// The decoder in a function of its own: nothing with a destructor lives between setjmp and a
// longjmp out of libjpeg, and the output vector is sized before decoding starts.
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, Decoded& out) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.emit_message = OnMessage;
    std::memset(errors.message, 0, sizeof(errors.message));
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        out.error = errors.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    // A few header bytes can claim any size: refuse what no picture of this program needs
    // before the pixels are allocated.
    constexpr unsigned long kMaxPixels = 16UL * 1024 * 1024;
    if (info.output_components != 3 || info.output_width == 0 || info.output_height == 0 ||
        info.output_width > 16384 || info.output_height > 16384 ||
        static_cast<unsigned long>(info.output_width) * info.output_height > kMaxPixels) {
        jpeg_destroy_decompress(&info);
        out.error = "unsupported image size";
        return false;
    }
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.rgb.resize(static_cast<std::size_t>(out.width) * out.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.rgb.data() + static_cast<std::size_t>(info.output_scanline) * out.width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

JpegImage::JpegImage(const JpegImage& other) : Graphic(other), bitmap_(other.bitmap_) {}

void JpegImage::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
    Decoded decoded;
    if (!data || size == 0 || !DecodeJpeg(data, size, decoded))
        throw EInvalidGraphic(
            FormatMessageText("JPEG error: %s", decoded.error.empty() ? "no data" : decoded.error));
    gui::Bitmap pixels(decoded.width, decoded.height);
    for (int y = 0; y < decoded.height; ++y) {
        std::uint32_t* row = pixels.ScanLine(y);
        const std::uint8_t* source = decoded.rgb.data() + static_cast<std::size_t>(y) * decoded.width * 3;
        for (int x = 0; x < decoded.width; ++x, source += 3)
            row[x] = (std::uint32_t{source[0]} << 16) | (std::uint32_t{source[1]} << 8) | source[2];
    }
    bitmap_.Assign(pixels);
    Changed();
}

void JpegImage::LoadFromFile(const std::string& path) {
    std::ifstream file(Utf8ToWide(path).c_str(), std::ios::binary);
    if (!file) throw EInvalidGraphic(FormatMessageText("Cannot open file \"%s\"", path));
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    LoadFromMemory(bytes.data(), bytes.size());
}

void JpegImage::LoadFromResourceName(HINSTANCE module, const std::string& name, const wchar_t* type) {
    const std::wstring wideName = Utf8ToWide(name);
    HRSRC resource = FindResourceW(module, wideName.c_str(), type);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw EResNotFound(FormatMessageText("Resource %s not found", name));
    LoadFromMemory(static_cast<const std::uint8_t*>(data), SizeofResource(module, resource));
}

void JpegImage::Draw(Canvas& canvas, const RECT& dest) const {
    // A photograph has no key colour: it is always drawn opaque.
    bitmap_.Draw(canvas, dest);
}

std::unique_ptr<Graphic> JpegImage::Clone() const {
    return std::make_unique<JpegImage>(*this);
}

} // namespace gui
