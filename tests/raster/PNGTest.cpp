#include "PngCorpus.h"
#include "RasterTestSupport.h"

#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_PNG.h"

#include <CoreFoundation/CFBundleRegistry.h>
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using png_corpus::PngFile;
using png_corpus::PngShape;

namespace {

std::unique_ptr<LICE_IBitmap> load(const std::vector<unsigned char>& bytes,
                                   LICE_IBitmap* into = nullptr) {
    LICE_IBitmap* bm = LICE_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), into);
    if (into && bm) {
        EXPECT_EQ(bm, into);
    }
    return std::unique_ptr<LICE_IBitmap>(into ? nullptr : bm);
}

LICE_pixel pixelAt(LICE_IBitmap* bm, int x, int y) {
    const int row = bm->isFlipped() ? bm->getHeight() - 1 - y : y;
    return bm->getBits()[row * bm->getRowSpan() + x];
}

// Every pixel of bm against libpng's plain decode of the same bytes.
void expectSameAsReference(LICE_IBitmap* bm, const std::vector<unsigned char>& bytes,
                           const std::string& name) {
    std::vector<unsigned char> rgba;
    int w = 0, h = 0;
    ASSERT_TRUE(png_corpus::ReferenceDecode(bytes, &rgba, &w, &h)) << name;
    ASSERT_EQ(bm->getWidth(), w) << name;
    ASSERT_EQ(bm->getHeight(), h) << name;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &rgba[((size_t)y * w + x) * 4];
            ASSERT_EQ(pixelAt(bm, x, y), LICE_MakePixel(p[0], p[1], p[2], p[3]))
                << name << " at (" << x << ", " << y << ")";
        }
}

void putBigEndian(unsigned char* p, uint32_t v) {
    p[0] = (unsigned char)(v >> 24), p[1] = (unsigned char)(v >> 16);
    p[2] = (unsigned char)(v >> 8), p[3] = (unsigned char)v;
}

void append(std::vector<unsigned char>& to, const std::vector<unsigned char>& more) {
    const size_t at = to.size();
    to.resize(at + more.size());
    if (!more.empty()) memcpy(&to[at], more.data(), more.size());
}

// A chunk with its length and CRC.
std::vector<unsigned char> chunk(const char* type, const std::vector<unsigned char>& data,
                                 bool goodCrc = true) {
    std::vector<unsigned char> c(8);
    putBigEndian(c.data(), (uint32_t)data.size());
    memcpy(&c[4], type, 4);
    append(c, data);
    uint32_t crc = (uint32_t)crc32(0, &c[4], (uInt)(4 + data.size()));
    if (!goodCrc) crc ^= 1;
    c.resize(c.size() + 4);
    putBigEndian(&c[c.size() - 4], crc);
    return c;
}

std::vector<unsigned char> headerOnly(uint32_t width, uint32_t height) {
    std::vector<unsigned char> ihdr(13, 0);
    putBigEndian(&ihdr[0], width);
    putBigEndian(&ihdr[4], height);
    ihdr[8] = 8, ihdr[9] = PNG_COLOR_TYPE_RGB_ALPHA;
    std::vector<unsigned char> file = {137, 80, 78, 71, 13, 10, 26, 10};
    append(file, chunk("IHDR", ihdr));
    append(file, chunk("IDAT", {0x78, 0x9c, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}));
    append(file, chunk("IEND", {}));
    return file;
}

std::vector<unsigned char> small(int colourType, int depth, bool transparency = false,
                                 bool interlaced = false) {
    return png_corpus::WritePng({5, 3, colourType, depth, interlaced, transparency});
}

// A bitmap that takes any size but has no pixels, as a failed allocation leaves one.
class NoPixels : public LICE_IBitmap {
public:
    LICE_pixel* getBits() override { return nullptr; }
    int getWidth() override { return mW; }
    int getHeight() override { return mH; }
    int getRowSpan() override { return mW; }
    bool resize(int w, int h) override {
        mW = w, mH = h;
        return true;
    }

private:
    int mW = 0, mH = 0;
};

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        char pattern[] = "/tmp/grindvox-png-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        const std::filesystem::path file = path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
        return file.string();
    }
};

} // namespace

TEST(LoadPNG, DecodesEveryColourTypeDepthAndInterlacingLikeLibpng) {
    const std::vector<PngFile> corpus = png_corpus::Corpus();
    ASSERT_GE(corpus.size(), 40u);
    for (const PngFile& f : corpus) {
        std::unique_ptr<LICE_IBitmap> bm = load(f.bytes);
        ASSERT_NE(bm, nullptr) << f.name;
        expectSameAsReference(bm.get(), f.bytes, f.name);
    }
    // GRINDVOX_WRITE_PNG_CORPUS=fuzz/corpus/LoadPNGFromMemoryFuzzer refreshes the fuzzer's seeds.
    if (const char* dir = getenv("GRINDVOX_WRITE_PNG_CORPUS")) {
        for (const PngFile& f : corpus) {
            std::ofstream out(std::string(dir) + "/" + f.name + ".png", std::ios::binary);
            out.write(reinterpret_cast<const char*>(f.bytes.data()),
                      (std::streamsize)f.bytes.size());
        }
    }
}

TEST(LoadPNG, PutsAlphaFirstAndFillsOpaqueAlphaWhereThereIsNone) {
    // 8-bit RGB: pixel (0, 0) has samples 0, 59, 118.
    std::unique_ptr<LICE_IBitmap> rgb = load(small(PNG_COLOR_TYPE_RGB, 8));
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(pixelAt(rgb.get(), 0, 0), LICE_MakePixel(0, 59, 118, 255));

    // RGBA: pixel (1, 0) is 37, 96, 155 with alpha 214, which lands in byte 0.
    std::unique_ptr<LICE_IBitmap> rgba = load(small(PNG_COLOR_TYPE_RGB_ALPHA, 8));
    ASSERT_NE(rgba, nullptr);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(rgba->getBits() + 1);
    EXPECT_EQ(bytes[0], 214);
    EXPECT_EQ(bytes[1], 37);
    EXPECT_EQ(bytes[2], 96);
    EXPECT_EQ(bytes[3], 155);

    // 1-bit grey: samples 0, 1, 0, 1, 0 on row 0 become opaque black and white.
    std::unique_ptr<LICE_IBitmap> bits = load(small(PNG_COLOR_TYPE_GRAY, 1));
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(pixelAt(bits.get(), 0, 0), LICE_MakePixel(0, 0, 0, 255));
    EXPECT_EQ(pixelAt(bits.get(), 1, 0), LICE_MakePixel(255, 255, 255, 255));

    // 16-bit grey keeps the high byte: (2, 1) is 2 * 37 + 101 + 26 = 201 = 0x00c9.
    std::unique_ptr<LICE_IBitmap> deep = load(small(PNG_COLOR_TYPE_GRAY, 16));
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(pixelAt(deep.get(), 2, 1), LICE_MakePixel(0, 0, 0, 255));
}

TEST(LoadPNG, TransparencyChunksBecomeAlphaInFrontOfTheColour) {
    // The key colour is pixel (1, 0)'s; pixel (0, 0) differs and stays opaque.
    std::unique_ptr<LICE_IBitmap> grey = load(small(PNG_COLOR_TYPE_GRAY, 8, true));
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(pixelAt(grey.get(), 1, 0), LICE_MakePixel(37, 37, 37, 0));
    EXPECT_EQ(pixelAt(grey.get(), 0, 0), LICE_MakePixel(0, 0, 0, 255));

    std::unique_ptr<LICE_IBitmap> rgb = load(small(PNG_COLOR_TYPE_RGB, 8, true));
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(pixelAt(rgb.get(), 1, 0), LICE_MakePixel(37, 96, 155, 0));
    EXPECT_EQ(pixelAt(rgb.get(), 0, 0), LICE_MakePixel(0, 59, 118, 255));

    // Palette entry i is (53i, 255 - 7i, 11i + 3) in bytes, with alpha 97i for the first three
    // entries. Pixel (0, 0) is index 0 (alpha 0); (1, 0) is index 37, opaque.
    std::unique_ptr<LICE_IBitmap> pal = load(small(PNG_COLOR_TYPE_PALETTE, 8, true));
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(pixelAt(pal.get(), 0, 0), LICE_MakePixel(0, 255, 3, 0));
    EXPECT_EQ(pixelAt(pal.get(), 1, 0), LICE_MakePixel(169, 252, 154, 255));
    std::unique_ptr<LICE_IBitmap> pal2 = load(small(PNG_COLOR_TYPE_PALETTE, 2, true));
    ASSERT_NE(pal2, nullptr);
    // 2-bit: (1, 0) is index 37 % 4 = 1: (53, 248, 14) with alpha 97.
    EXPECT_EQ(pixelAt(pal2.get(), 1, 0), LICE_MakePixel(53, 248, 14, 97));
}

TEST(LoadPNG, DecodesIntoAGivenBitmapFlippedOrNot) {
    const std::vector<unsigned char> bytes = small(PNG_COLOR_TYPE_RGB_ALPHA, 8, false, true);
    LICE_MemBitmap heap(1, 1, 4);
    ASSERT_EQ(LICE_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), &heap), &heap);
    expectSameAsReference(&heap, bytes, "into a heap bitmap");

    raster_test::TestBitmap flipped(5, 3, true);
    ASSERT_EQ(LICE_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), &flipped), &flipped);
    expectSameAsReference(&flipped, bytes, "into a flipped bitmap");
    EXPECT_TRUE(flipped.paddingIntact());

    // A bitmap that cannot take the picture's size, or has no pixels for it, is refused.
    raster_test::TestBitmap wrong(4, 3);
    EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), &wrong), nullptr);
    NoPixels none;
    EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), &none), nullptr);
}

TEST(LoadPNG, RefusesEveryTruncationOfAValidFile) {
    int files = 0;
    for (const PngFile& f : png_corpus::Corpus()) {
        ++files;
        for (size_t n = 0; n < f.bytes.size(); ++n) {
            LICE_IBitmap* bm = LICE_LoadPNGFromMemory(f.bytes.data(), (int)n, nullptr);
            EXPECT_EQ(bm, nullptr) << f.name << " cut to " << n << " bytes";
            delete bm;
        }
    }
    EXPECT_GE(files, 40);
}

TEST(LoadPNG, RefusesShortDataAndOtherSignatures) {
    const std::vector<unsigned char> bytes = small(PNG_COLOR_TYPE_RGB, 8);
    EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), 7, nullptr), nullptr);
    std::vector<unsigned char> other = bytes;
    other[1] = 'Q';
    EXPECT_EQ(LICE_LoadPNGFromMemory(other.data(), (int)other.size(), nullptr), nullptr);
    EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 100, nullptr), nullptr);
    EXPECT_EQ(LICE_LoadPNGFromMemory(bytes.data(), -5, nullptr), nullptr);
}

TEST(LoadPNG, RefusesCraftedSizesBeforeAllocatingForThem) {
    // 1,000,000 x 500 would be 2 GB of pixels; 16385 is one over the limit a side.
    for (auto size : {std::pair<uint32_t, uint32_t>{1000000, 500},
                      {16385, 1},
                      {1, 16385},
                      {0x7fffffff, 0x7fffffff}}) {
        const std::vector<unsigned char> file = headerOnly(size.first, size.second);
        NoPixels given;
        EXPECT_EQ(LICE_LoadPNGFromMemory(file.data(), (int)file.size(), nullptr), nullptr);
        EXPECT_EQ(LICE_LoadPNGFromMemory(file.data(), (int)file.size(), &given), nullptr);
        // The bitmap was never asked to take the size.
        EXPECT_EQ(given.getWidth(), 0);
    }
}

TEST(LoadPNG, SaysNothingOnStandardError) {
    const std::vector<unsigned char> bytes = small(PNG_COLOR_TYPE_RGB, 8);
    ASSERT_GT(bytes.size(), 40u);
    // An ancillary chunk with a bad CRC is a warning; a corrupt data chunk an error. The last
    // 12 bytes are the end chunk.
    std::vector<unsigned char> warned(bytes.begin(), bytes.end() - 12);
    append(warned, chunk("tEXt", {'k', 0, 'v'}, false));
    append(warned, std::vector<unsigned char>(bytes.end() - 12, bytes.end()));
    std::vector<unsigned char> broken = bytes;
    broken.at(broken.size() - 20) ^= 0x55;

    testing::internal::CaptureStderr();
    std::unique_ptr<LICE_IBitmap> ok = load(warned);
    std::unique_ptr<LICE_IBitmap> bad = load(broken);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(ok, nullptr);
    EXPECT_EQ(bad, nullptr);
    EXPECT_EQ(said, "");
}

TEST(LoadPNG, LoadsFilesAndChecksTheirNames) {
    TempDir dir;
    const std::vector<unsigned char> bytes = small(PNG_COLOR_TYPE_GRAY_ALPHA, 8);
    const std::string upper = dir.write("knob.PNG", bytes);
    const std::string jpg = dir.write("knob.jpg", bytes);
    const std::string inDotDir = dir.write("pictures.png/knob", bytes);

    std::unique_ptr<LICE_IBitmap> bm(LICE_PNGLoader::loadfunc(upper.c_str(), true, nullptr));
    ASSERT_NE(bm, nullptr);
    expectSameAsReference(bm.get(), bytes, upper);
    EXPECT_EQ(LICE_PNGLoader::loadfunc(jpg.c_str(), true, nullptr), nullptr);
    EXPECT_EQ(LICE_PNGLoader::loadfunc(inDotDir.c_str(), true, nullptr), nullptr);
    std::unique_ptr<LICE_IBitmap> unchecked(LICE_PNGLoader::loadfunc(jpg.c_str(), false, nullptr));
    EXPECT_NE(unchecked, nullptr);

    EXPECT_EQ(LICE_LoadPNG((dir.path / "missing.png").c_str(), nullptr), nullptr);
    const std::string cut =
        dir.write("cut.png", std::vector<unsigned char>(bytes.begin(), bytes.begin() + 40));
    EXPECT_EQ(LICE_LoadPNG(cut.c_str(), nullptr), nullptr);
    EXPECT_EQ(LICE_LoadPNGFromResource(nullptr, 1, nullptr), nullptr);
}

TEST(LoadPNG, JoinsTheLoaderListWhenTheProgramStarts) {
    bool found = false;
    for (_LICE_ImageLoader_rec* r = LICE_ImageLoader_list; r; r = r->_next)
        found |= r->loadfunc == LICE_PNGLoader::loadfunc &&
                 r->get_extlist == LICE_PNGLoader::get_extlist;
    EXPECT_TRUE(found);
    EXPECT_EQ(memcmp(LICE_PNGLoader::get_extlist(), "PNG files (*.PNG)\0*.PNG\0\0", 25), 0);
}

TEST(LoadPNG, FindsNamedResourcesInTheMainBundle) {
    TempDir dir;
    const std::vector<unsigned char> bytes = small(PNG_COLOR_TYPE_PALETTE, 4, true);
    dir.write("Host.app/Contents/Resources/knob.png", bytes);
    ASSERT_NE(GrindvoxPlatform_RegisterMainBundle("com.grindvox.test.pnghost",
                                                  (dir.path / "Host.app").c_str()),
              nullptr);
    std::unique_ptr<LICE_IBitmap> bm(LICE_LoadPNGFromNamedResource("knob.png", nullptr));
    ASSERT_NE(bm, nullptr);
    expectSameAsReference(bm.get(), bytes, "knob.png");
    EXPECT_EQ(LICE_LoadPNGFromNamedResource("absent.png", nullptr), nullptr);
    EXPECT_EQ(LICE_LoadPNGFromNamedResource(std::string(401, 'a').c_str(), nullptr), nullptr);
}
