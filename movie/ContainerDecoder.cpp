#include "movie/ContainerDecoder.h"

#include "movie/Limits.h"
#include "movie/MovieError.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace movie {

namespace {

constexpr size_t kHeaderSize = 8;
constexpr size_t kLzmaHeaderSize = 17; // header, compressed length (4), LZMA properties (5)

// Output grows as it comes, so a header that declares much more than the
// body holds costs no memory up front.
void Grow(std::vector<uint8_t>& out, size_t produced, size_t expected) {
    if (produced < out.size()) return;
    size_t next = std::min(expected, std::max<size_t>(size_t(1) << 16, out.size() * 2));
    out.resize(next);
}

// A zlib inflate stream, ended when it goes out of scope.
class InflateStream {
public:
    explicit InflateStream(const std::string& name) {
        if (inflateInit(&z_) != Z_OK) throw MovieError(name, "", kHeaderSize, "zlib cannot start");
    }
    ~InflateStream() { inflateEnd(&z_); }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
    z_stream& operator*() { return z_; }

private:
    z_stream z_{};
};

// An LZMA decoder stream, ended when it goes out of scope.
class LzmaStream {
public:
    LzmaStream() = default;
    ~LzmaStream() { lzma_end(&strm_); }
    LzmaStream(const LzmaStream&) = delete;
    LzmaStream& operator=(const LzmaStream&) = delete;
    lzma_stream& operator*() { return strm_; }

private:
    lzma_stream strm_ = LZMA_STREAM_INIT;
};

// The LZMA properties that liblzma allocates for the decoder.
struct FreeOptions {
    void operator()(void* p) const { std::free(p); }
};

std::vector<uint8_t> InflateBody(std::span<const uint8_t> in, size_t expected, const std::string& name,
                                 std::vector<std::string>& warnings) {
    std::vector<uint8_t> out;
    InflateStream stream(name);
    z_stream& z = *stream;
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    size_t produced = 0;
    int rc = Z_OK;
    while (produced < expected && rc == Z_OK) {
        Grow(out, produced, expected);
        z.next_out = out.data() + produced;
        z.avail_out = static_cast<uInt>(out.size() - produced);
        rc = inflate(&z, Z_NO_FLUSH);
        produced = out.size() - z.avail_out;
    }
    std::string msg = z.msg ? z.msg : "";
    size_t consumed = in.size() - z.avail_in;
    if (rc != Z_OK && rc != Z_STREAM_END && !(rc == Z_BUF_ERROR && z.avail_in == 0)) {
        if (produced == 0)
            throw MovieError(name, "", kHeaderSize + consumed, "zlib data is corrupt" + (msg.empty() ? "" : ": " + msg));
        warnings.push_back("zlib data is corrupt after " + std::to_string(produced) + " bytes" +
                           (msg.empty() ? "" : " (" + msg + ")") + "; reading what came before");
    } else if (produced < expected) {
        warnings.push_back("compressed body holds " + std::to_string(produced) + " bytes, the header declares " +
                           std::to_string(expected));
    }
    out.resize(produced);
    return out;
}

std::vector<uint8_t> UnpackLzmaBody(std::span<const uint8_t> file, size_t expected, const std::string& name,
                                    std::vector<std::string>& warnings) {
    if (file.size() < kLzmaHeaderSize) throw MovieError(name, "", file.size(), "LZMA header cut short");
    lzma_filter filters[2];
    filters[0].id = LZMA_FILTER_LZMA1;
    filters[0].options = nullptr;
    filters[1].id = LZMA_VLI_UNKNOWN;
    filters[1].options = nullptr;
    if (lzma_properties_decode(&filters[0], nullptr, file.data() + 12, 5) != LZMA_OK)
        throw MovieError(name, "", 12, "invalid LZMA properties");
    std::unique_ptr<void, FreeOptions> ownedOptions(filters[0].options);
    auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
    // A dictionary larger than the output is never used: keep it within both.
    uint64_t dict = std::max<uint64_t>(LZMA_DICT_SIZE_MIN, std::min<uint64_t>(options->dict_size, expected));
    if (dict > Limits::kMaxLzmaMemory) dict = Limits::kMaxLzmaMemory;
    options->dict_size = static_cast<uint32_t>(dict);
    LzmaStream stream;
    lzma_stream& strm = *stream;
    lzma_ret rc = lzma_raw_decoder(&strm, filters);
    ownedOptions.reset();
    if (rc != LZMA_OK) throw MovieError(name, "", 12, "unusable LZMA properties");
    std::vector<uint8_t> out;
    strm.next_in = file.data() + kLzmaHeaderSize;
    strm.avail_in = file.size() - kLzmaHeaderSize;
    size_t produced = 0;
    rc = LZMA_OK;
    while (produced < expected && rc == LZMA_OK) {
        Grow(out, produced, expected);
        strm.next_out = out.data() + produced;
        strm.avail_out = out.size() - produced;
        size_t inBefore = strm.avail_in;
        rc = lzma_code(&strm, LZMA_RUN);
        size_t now = out.size() - strm.avail_out;
        if (rc == LZMA_OK && strm.avail_in == inBefore && now == produced) break; // input used up
        produced = now;
    }
    size_t consumed = strm.total_in;
    if (rc != LZMA_OK && rc != LZMA_STREAM_END && rc != LZMA_BUF_ERROR) {
        if (produced == 0)
            throw MovieError(name, "", kLzmaHeaderSize + consumed,
                             "LZMA data is corrupt (liblzma error " + std::to_string(rc) + ")");
        warnings.push_back("LZMA data is corrupt after " + std::to_string(produced) + " bytes; reading what came before");
    } else if (produced < expected) {
        warnings.push_back("compressed body holds " + std::to_string(produced) + " bytes, the header declares " +
                           std::to_string(expected));
    }
    out.resize(produced);
    return out;
}

} // namespace

std::vector<uint8_t> ContainerDecoder::Decode(std::span<const uint8_t> file, const std::string& name, Header& header,
                                              std::vector<std::string>& warnings) {
    if (file.size() < kHeaderSize) throw MovieError(name, "", 0, "file too short for a movie header");
    std::string signature(reinterpret_cast<const char*>(file.data()), 3);
    if (signature == "FWS")
        header.compression = Compression::None;
    else if (signature == "CWS")
        header.compression = Compression::Zlib;
    else if (signature == "ZWS")
        header.compression = Compression::Lzma;
    else
        throw MovieError(name, "", 0, "not a Shockwave Flash movie (no FWS, CWS or ZWS signature)");
    header.version = file[3];
    header.fileLength = uint32_t(file[4]) | uint32_t(file[5]) << 8 | uint32_t(file[6]) << 16 | uint32_t(file[7]) << 24;
    if (header.version < 1 || header.version > 43)
        throw MovieError(name, "", 3, "unsupported version " + std::to_string(header.version));
    if (header.fileLength < kHeaderSize)
        throw MovieError(name, "", 4, "declared length " + std::to_string(header.fileLength) +
                                          " is shorter than the header");
    if (header.fileLength > Limits::kMaxMovieBytes)
        throw MovieError(name, "", 4, "declared length " + std::to_string(header.fileLength) +
                                          " exceeds the limit of " + std::to_string(Limits::kMaxMovieBytes) + " bytes");

    size_t expected = header.fileLength - kHeaderSize;
    std::vector<uint8_t> body;
    switch (header.compression) {
    case Compression::None: {
        size_t present = file.size() - kHeaderSize;
        if (present > Limits::kMaxMovieBytes - kHeaderSize)
            throw MovieError(name, "", 0, "file exceeds the limit of " + std::to_string(Limits::kMaxMovieBytes) + " bytes");
        body.resize(present);
        if (present) std::memcpy(body.data(), file.data() + kHeaderSize, present);
        break;
    }
    case Compression::Zlib:
        body = InflateBody(file.subspan(kHeaderSize), expected, name, warnings);
        break;
    case Compression::Lzma:
        body = UnpackLzmaBody(file, expected, name, warnings);
        break;
    }
    std::vector<uint8_t> out(kHeaderSize + body.size());
    std::memcpy(out.data(), file.data(), kHeaderSize);
    if (!body.empty()) std::memcpy(out.data() + kHeaderSize, body.data(), body.size());
    return out;
}

} // namespace movie
