#include "movie/MovieReader.h"

#include "movie/ContainerDecoder.h"
#include "movie/Limits.h"
#include "movie/MovieError.h"
#include "movie/TagReader.h"

#include <fstream>

namespace movie {

std::shared_ptr<const Movie> MovieReader::Load(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) throw MovieError(path, "", 0, "cannot open the file");
    f.seekg(0, std::ios::end);
    std::streamoff size = f.tellg();
    if (size < 0) throw MovieError(path, "", 0, "cannot read the file");
    CheckFileSize(path, uint64_t(size));
    f.seekg(0);
    std::vector<uint8_t> data(static_cast<size_t>(size));
    if (size > 0 && !f.read(reinterpret_cast<char*>(data.data()), size))
        throw MovieError(path, "", 0, "cannot read the file");
    return Read(data, path);
}

void MovieReader::CheckFileSize(const std::string& path, uint64_t size) {
    if (size > Limits::kMaxMovieBytes)
        throw MovieError(path, "", 0,
                         "file exceeds the limit of " + std::to_string(Limits::kMaxMovieBytes) + " bytes");
}

std::shared_ptr<const Movie> MovieReader::Read(std::span<const uint8_t> data, const std::string& name) {
    auto movie = std::make_shared<Movie>();
    movie->fileName = name;
    std::vector<uint8_t> plain = ContainerDecoder::Decode(data, name, movie->header, movie->warnings);
    TagReader reader(*movie, plain);
    reader.ReadMovie();
    return movie;
}

} // namespace movie
