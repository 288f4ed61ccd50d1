// Every movie of the shared corpus reads; the two broken LZMA headers are
// refused with a clear error.
#include "movie/MovieError.h"
#include "movie/MovieReader.h"
#include "movie/Player.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = fs::path(NIMBRE_SHARED_DIR) / "swf-corpus";

std::vector<fs::path> CorpusFiles() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(kCorpus))
        if (e.path().extension() == ".swf") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(Corpus, EveryMovieReadsExceptTheBrokenLzmaHeaders) {
    const std::set<std::string> broken = {"lzma-length-too-large.swf", "lzma-malformed-length.swf"};
    auto files = CorpusFiles();
    ASSERT_GE(files.size(), 50u);
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.filename().string());
        if (broken.count(f.filename().string())) {
            try {
                movie::MovieReader::Load(f.string());
                ADD_FAILURE() << "read without error";
            } catch (const movie::MovieError& e) {
                std::string what = e.what();
                EXPECT_NE(what.find(f.filename().string()), std::string::npos) << what;
                EXPECT_NE(what.find("declared length"), std::string::npos) << what;
                EXPECT_EQ(e.Offset(), 4u);
            }
            continue;
        }
        std::shared_ptr<const movie::Movie> m;
        ASSERT_NO_THROW(m = movie::MovieReader::Load(f.string()));
        EXPECT_GE(m->timeline.FrameCount(), 1u);
        EXPECT_TRUE(m->warnings.empty()) << m->warnings.front();
        // And it plays a few frames.
        movie::Player p(m);
        for (int i = 0; i < 5; ++i) p.Step();
    }
}

TEST(Corpus, TagsLandInTheDictionary) {
    auto load = [](const char* name) { return movie::MovieReader::Load((kCorpus / name).string()); };
    using K = movie::CharacterKind;
    EXPECT_EQ(load("DefineShape4.swf")->dictionary.Count(K::Shape), 1u);
    EXPECT_EQ(load("DefineMorphShape2.swf")->dictionary.Count(K::MorphShape), 1u);
    EXPECT_GE(load("DefineBitsLossless2.swf")->dictionary.Count(K::Bitmap), 1u);
    EXPECT_GE(load("DefineBits-JpegTables-MX.swf")->dictionary.Count(K::Bitmap), 1u);
    EXPECT_GE(load("DefineBitsJpeg3.swf")->dictionary.Count(K::Bitmap), 1u);
    EXPECT_GE(load("DefineFont3-CS6.swf")->dictionary.Count(K::Font), 1u);
    EXPECT_GE(load("DefineText2-MX.swf")->dictionary.Count(K::Text), 1u);
    EXPECT_GE(load("DefineButton2-CS6.swf")->dictionary.Count(K::Button), 1u);
    EXPECT_GE(load("DefineSprite.swf")->dictionary.Count(K::Sprite), 1u);
    auto sound = load("DefineSound.swf");
    ASSERT_TRUE(sound->sounds.count(1));
    EXPECT_EQ(sound->sounds.at(1).sampleCount, 10u);
    EXPECT_EQ(sound->timeline.frames[0].sounds.size(), 1u);
    // A sound started by class name is skipped.
    EXPECT_TRUE(load("StartSound2.swf")->skipped.count(89));
    // Compressed and uncompressed copies of one movie read alike.
    auto plain = load("uncompressed.swf"), zlib = load("zlib.swf"), lzma = load("lzma.swf");
    EXPECT_EQ(zlib->dictionary.Size(), plain->dictionary.Size());
    EXPECT_EQ(lzma->dictionary.Size(), plain->dictionary.Size());
    EXPECT_EQ(lzma->header.compression, movie::Compression::Lzma);
}

TEST(Corpus, MorphShapesHaveMatchingStartAndEndOutlines) {
    int morphs = 0;
    for (const char* name : {"DefineMorphShape-MX.swf", "DefineMorphShape2.swf", "DefineMorphShape2-GradientFlags.swf"}) {
        auto m = movie::MovieReader::Load((kCorpus / name).string());
        for (const auto& [id, c] : m->dictionary.All()) {
            const auto* morph = std::get_if<movie::MorphShape>(&c->data);
            if (!morph) continue;
            ++morphs;
            SCOPED_TRACE(name);
            ASSERT_EQ(morph->start.groups.size(), 1u);
            ASSERT_EQ(morph->end.groups.size(), 1u);
            const auto& s = morph->start.groups[0];
            const auto& e = morph->end.groups[0];
            EXPECT_EQ(s.fills.size(), e.fills.size());
            EXPECT_EQ(s.lines.size(), e.lines.size());
            ASSERT_EQ(s.paths.size(), e.paths.size());
            EXPECT_FALSE(s.paths.empty());
            for (size_t p = 0; p < s.paths.size(); ++p) {
                ASSERT_EQ(s.paths[p].segments.size(), e.paths[p].segments.size());
                for (size_t k = 0; k < s.paths[p].segments.size(); ++k)
                    EXPECT_EQ(s.paths[p].segments[k].curve, e.paths[p].segments[k].curve);
            }
        }
    }
    EXPECT_EQ(morphs, 3);
}

} // namespace
