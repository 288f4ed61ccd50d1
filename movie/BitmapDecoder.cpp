#include "movie/BitmapDecoder.h"

#include "movie/Limits.h"

#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <vector>

namespace movie {

namespace {

// Progressive JPEGs can ask for a great many scans; more than this is refused.
constexpr int kMaxJpegScans = 1000;

struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool corrupt; // a warning came: the data is cut short or damaged
};

void JpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    longjmp(err->jump, 1);
}

// Warnings (e.g. a truncated stream) are not fatal, but decoding stops at
// the next row: what follows would be made up, and making it up for a huge
// picture from a few bytes would take long.
void JpegWarning(j_common_ptr cinfo, int level) {
    if (level < 0) reinterpret_cast<JpegErrorManager*>(cinfo->err)->corrupt = true;
}

struct JpegProgress {
    jpeg_progress_mgr pub;
    bool tooManyScans = false;
};

void JpegProgressMonitor(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxJpegScans) {
            reinterpret_cast<JpegProgress*>(cinfo->progress)->tooManyScans = true;
            std::snprintf(reinterpret_cast<JpegErrorManager*>(cinfo->err)->message, JMSG_LENGTH_MAX,
                          "more than %d JPEG scans", kMaxJpegScans);
            longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
        }
    }
}

// Removes every FF D9 FF D8 (an end-of-image marker straight followed by a
// start-of-image marker): old writers put them between tables and image.
// Entropy-coded data never holds FF D9, so nothing else is touched.
std::vector<uint8_t> StripErroneousMarkers(std::span<const uint8_t> data) {
    std::vector<uint8_t> out;
    out.reserve(data.size());
    for (size_t i = 0; i < data.size();) {
        if (i + 3 < data.size() && data[i] == 0xff && data[i + 1] == 0xd9 && data[i + 2] == 0xff &&
            data[i + 3] == 0xd8 && i > 0) {
            i += 4;
            continue;
        }
        if (i == 0 && data.size() >= 4 && data[0] == 0xff && data[1] == 0xd9 && data[2] == 0xff && data[3] == 0xd8) {
            i += 4; // a stream that starts with the erroneous header
            continue;
        }
        out.push_back(data[i++]);
    }
    return out;
}

struct JpegResult {
    uint32_t width = 0, height = 0;
    bool limit = false;
    bool failed = false;
    char message[JMSG_LENGTH_MAX] = {};
};

// Plain C-style: no object with a destructor lives across setjmp.
void DecodeJpegInto(const uint8_t* tables, size_t tablesSize, const uint8_t* data, size_t dataSize,
                    std::vector<uint8_t>* pixels, JpegResult* result) {
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    JpegProgress progress;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegErrorExit;
    err.pub.emit_message = JpegWarning;
    err.message[0] = 0;
    err.corrupt = false;
    progress.pub.progress_monitor = JpegProgressMonitor;
    unsigned char* volatile row = nullptr;
    if (setjmp(err.jump)) {
        std::memcpy(result->message, err.message, sizeof result->message);
        result->failed = true;
        std::free(row);
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress.pub;
    if (tablesSize > 0) {
        jpeg_mem_src(&cinfo, const_cast<unsigned char*>(tables), static_cast<unsigned long>(tablesSize));
        jpeg_read_header(&cinfo, FALSE);
    }
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(dataSize));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width > Limits::kMaxBitmapSide || cinfo.image_height > Limits::kMaxBitmapSide ||
        uint64_t(cinfo.image_width) * cinfo.image_height > Limits::kMaxBitmapPixels) {
        result->limit = true;
        result->width = cinfo.image_width;
        result->height = cinfo.image_height;
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    uint32_t w = cinfo.output_width, h = cinfo.output_height;
    int comps = cinfo.output_components;
    pixels->assign(size_t(w) * h * 4, 255);
    row = static_cast<unsigned char*>(std::malloc(size_t(w) * comps + 1));
    if (!row) {
        std::snprintf(err.message, sizeof err.message, "out of memory");
        longjmp(err.jump, 1);
    }
    while (cinfo.output_scanline < h) {
        uint32_t y = cinfo.output_scanline;
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1 || err.corrupt) break;
        uint8_t* out = pixels->data() + size_t(y) * w * 4;
        for (uint32_t x = 0; x < w; ++x) {
            const unsigned char* p = row + size_t(x) * comps;
            if (cmyk) { // Adobe writes CMYK inverted
                unsigned k = p[3];
                out[x * 4 + 0] = static_cast<uint8_t>(p[0] * k / 255);
                out[x * 4 + 1] = static_cast<uint8_t>(p[1] * k / 255);
                out[x * 4 + 2] = static_cast<uint8_t>(p[2] * k / 255);
            } else if (comps == 1) {
                out[x * 4 + 0] = out[x * 4 + 1] = out[x * 4 + 2] = p[0];
            } else {
                out[x * 4 + 0] = p[0];
                out[x * 4 + 1] = p[1];
                out[x * 4 + 2] = p[2];
            }
        }
    }
    std::free(row);
    row = nullptr;
    result->width = w;
    result->height = h;
    jpeg_abort_decompress(&cinfo); // a stream cut short still gives its rows
    jpeg_destroy_decompress(&cinfo);
}

uint8_t Scale5(uint32_t v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

} // namespace

void BitmapDecoder::CheckSize(uint64_t width, uint64_t height) {
    if (width > Limits::kMaxBitmapSide || height > Limits::kMaxBitmapSide)
        throw BitmapLimitError("bitmap " + std::to_string(width) + "x" + std::to_string(height) +
                               " exceeds the limit of " + std::to_string(Limits::kMaxBitmapSide) + " pixels a side");
    if (width * height > Limits::kMaxBitmapPixels)
        throw BitmapLimitError("bitmap " + std::to_string(width) + "x" + std::to_string(height) +
                               " exceeds the limit of " + std::to_string(Limits::kMaxBitmapPixels) + " pixels");
}

Bitmap BitmapDecoder::DecodeJpeg(std::span<const uint8_t> tables, std::span<const uint8_t> data) {
    std::vector<uint8_t> cleanTables = StripErroneousMarkers(tables);
    std::vector<uint8_t> cleanData = StripErroneousMarkers(data);
    if (cleanData.empty()) throw BitmapError("empty JPEG data");
    Bitmap b;
    JpegResult r;
    DecodeJpegInto(cleanTables.data(), cleanTables.size(), cleanData.data(), cleanData.size(), &b.pixels, &r);
    if (r.limit) CheckSize(r.width, r.height);
    if (r.failed) throw BitmapError(std::string("JPEG: ") + r.message);
    b.width = r.width;
    b.height = r.height;
    return b;
}

std::vector<uint8_t> BitmapDecoder::Inflate(std::span<const uint8_t> data, size_t limit) {
    // The output grows as it comes: a small stream costs little whatever
    // the bitmap's size claims.
    std::vector<uint8_t> out;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) throw BitmapError("zlib: cannot start");
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(std::min<size_t>(data.size(), UINT32_MAX));
    size_t produced = 0;
    int rc = Z_OK;
    while (produced < limit && rc == Z_OK) {
        if (produced == out.size()) out.resize(std::min(limit, std::max<size_t>(size_t(1) << 16, out.size() * 2)));
        z.next_out = out.data() + produced;
        z.avail_out = static_cast<uInt>(out.size() - produced);
        rc = inflate(&z, Z_NO_FLUSH);
        produced = out.size() - z.avail_out;
    }
    std::string msg = z.msg ? z.msg : "corrupt data";
    inflateEnd(&z);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR && produced == 0)
        throw BitmapError("zlib: " + msg);
    out.resize(produced);
    return out;
}

void BitmapDecoder::ApplyAlpha(Bitmap& bitmap, std::span<const uint8_t> zlibAlpha) {
    size_t n = size_t(bitmap.width) * bitmap.height;
    if (zlibAlpha.empty() || n == 0) return;
    std::vector<uint8_t> alpha = Inflate(zlibAlpha, n);
    for (size_t i = 0; i < alpha.size(); ++i) {
        uint8_t* p = &bitmap.pixels[i * 4];
        unsigned a = alpha[i];
        p[0] = static_cast<uint8_t>(p[0] * a / 255);
        p[1] = static_cast<uint8_t>(p[1] * a / 255);
        p[2] = static_cast<uint8_t>(p[2] * a / 255);
        p[3] = static_cast<uint8_t>(a);
    }
}

Bitmap BitmapDecoder::DecodeLossless(int format, uint32_t width, uint32_t height, uint32_t colorTableSize,
                                     bool withAlpha, std::span<const uint8_t> zlibData) {
    size_t tableBytes = 0, rowBytes = 0;
    switch (format) {
    case 3:
        tableBytes = size_t(colorTableSize) * (withAlpha ? 4 : 3);
        rowBytes = (size_t(width) + 3) & ~size_t(3);
        break;
    case 4:
        rowBytes = (size_t(width) * 2 + 3) & ~size_t(3);
        break;
    case 5:
        rowBytes = size_t(width) * 4;
        break;
    default:
        throw BitmapError("unknown lossless bitmap format " + std::to_string(format));
    }
    CheckSize(width, height);
    Bitmap b;
    b.width = width;
    b.height = height;
    if (width == 0 || height == 0) return b;
    // Inflate first: only data that is there costs memory. Rows it does not
    // reach stay transparent.
    std::vector<uint8_t> raw = Inflate(zlibData, tableBytes + rowBytes * height);
    if (raw.size() <= tableBytes) throw BitmapError("no pixel data");
    b.pixels.assign(size_t(width) * height * 4, 0);
    auto put = [&](size_t i, uint8_t r, uint8_t g, uint8_t bl, uint8_t a) {
        uint8_t* p = &b.pixels[i * 4];
        // Stored premultiplied already (Lossless2); keep colour within alpha.
        p[0] = std::min(r, a);
        p[1] = std::min(g, a);
        p[2] = std::min(bl, a);
        p[3] = a;
    };
    for (uint32_t y = 0; y < height; ++y) {
        size_t rowAt = tableBytes + size_t(y) * rowBytes;
        for (uint32_t x = 0; x < width; ++x) {
            size_t i = size_t(y) * width + x;
            if (format == 3) {
                if (rowAt + x >= raw.size()) return b;
                size_t index = raw[rowAt + x];
                if (index >= colorTableSize) continue; // outside the table: transparent
                const uint8_t* c = &raw[index * (withAlpha ? 4 : 3)];
                put(i, c[0], c[1], c[2], withAlpha ? c[3] : 255);
            } else if (format == 4) {
                size_t at = rowAt + size_t(x) * 2;
                if (at + 1 >= raw.size()) return b;
                uint32_t v = uint32_t(raw[at]) << 8 | raw[at + 1];
                put(i, Scale5((v >> 10) & 31), Scale5((v >> 5) & 31), Scale5(v & 31), 255);
            } else {
                size_t at = rowAt + size_t(x) * 4;
                if (at + 3 >= raw.size()) return b;
                put(i, raw[at + 1], raw[at + 2], raw[at + 3], withAlpha ? raw[at] : 255);
            }
        }
    }
    return b;
}

} // namespace movie
