#include "PngCorpus.h"

#include <png.h>

#include <cstring>

namespace png_corpus {

namespace {

int channelsOf(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
    }
}

// A sample value for channel c of pixel (x, y) within the depth's range, varied enough that
// every channel and position tells.
unsigned sampleAt(int x, int y, int c, int depth) {
    const unsigned max = (1u << depth) - 1;
    return (unsigned)(x * 37 + y * 101 + c * 59 + x * y * 13) % (max + 1);
}

void appendBytes(png_structp png, png_bytep data, size_t n) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void flushNothing(png_structp) {}

std::vector<unsigned char> packRow(const PngShape& s, int y) {
    const int channels = channelsOf(s.colourType);
    const size_t bits = (size_t)s.width * channels * s.depth;
    std::vector<unsigned char> row((bits + 7) / 8, 0);
    size_t bit = 0;
    for (int x = 0; x < s.width; ++x)
        for (int c = 0; c < channels; ++c) {
            const unsigned v = sampleAt(x, y, c, s.depth);
            if (s.depth == 16) {
                row[bit / 8] = (unsigned char)(v >> 8);
                row[bit / 8 + 1] = (unsigned char)v;
            } else if (s.depth == 8) {
                row[bit / 8] = (unsigned char)v;
            } else {
                row[bit / 8] |= (unsigned char)(v << (8 - s.depth - bit % 8));
            }
            bit += (size_t)s.depth;
        }
    return row;
}

struct ReadSource {
    const std::vector<unsigned char>* bytes;
    size_t at;
};

void readBytes(png_structp png, png_bytep out, size_t n) {
    auto* src = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (src->at + n > src->bytes->size()) png_error(png, "end of data");
    memcpy(out, src->bytes->data() + src->at, n);
    src->at += n;
}

void quietWarning(png_structp, png_const_charp) {}

} // namespace

std::vector<unsigned char> WritePng(const PngShape& s) {
    // Everything with a destructor exists before the error jump point.
    std::vector<unsigned char> out;
    std::vector<std::vector<unsigned char>> rows;
    std::vector<png_bytep> pointers;
    for (int y = 0; y < s.height; ++y)
        rows.push_back(packRow(s, y));
    for (auto& r : rows)
        pointers.push_back(r.data());
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quietWarning);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_IHDR(png, info, (png_uint_32)s.width, (png_uint_32)s.height, s.depth, s.colourType,
                 s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    png_byte alphas[256];
    png_color_16 key = {};
    if (s.colourType == PNG_COLOR_TYPE_PALETTE) {
        const int entries = 1 << s.depth;
        for (int i = 0; i < entries; ++i) {
            palette[i] = {(png_byte)(i * 53), (png_byte)(255 - i * 7), (png_byte)(i * 11 + 3)};
            alphas[i] = (png_byte)(i * 97);
        }
        png_set_PLTE(png, info, palette, entries);
        // Only the first entries carry alpha; the rest are opaque.
        if (s.transparency) png_set_tRNS(png, info, alphas, entries > 3 ? 3 : entries, nullptr);
    } else if (s.transparency) {
        // The colour of pixel (1, 0) becomes transparent wherever it appears.
        key.gray = (png_uint_16)sampleAt(1, 0, 0, s.depth);
        key.red = (png_uint_16)sampleAt(1, 0, 0, s.depth);
        key.green = (png_uint_16)sampleAt(1, 0, 1, s.depth);
        key.blue = (png_uint_16)sampleAt(1, 0, 2, s.depth);
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<PngFile> Corpus() {
    struct Kind {
        const char* name;
        int colourType;
        std::vector<int> depths;
        bool transparency;
    };
    const Kind kinds[] = {
        {"grey", PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}, false},
        {"grey-trns", PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}, true},
        {"grey-alpha", PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}, false},
        {"rgb", PNG_COLOR_TYPE_RGB, {8, 16}, false},
        {"rgb-trns", PNG_COLOR_TYPE_RGB, {8, 16}, true},
        {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}, false},
        {"palette", PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}, false},
        {"palette-trns", PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}, true},
    };
    std::vector<PngFile> files;
    for (const Kind& k : kinds)
        for (int depth : k.depths)
            for (int interlaced = 0; interlaced < 2; ++interlaced) {
                const PngShape shape = {
                    13, 7, k.colourType, depth, interlaced != 0, k.transparency};
                files.push_back({std::string(k.name) + "-" + std::to_string(depth) +
                                     (interlaced ? "-adam7" : ""),
                                 WritePng(shape)});
            }
    for (const Kind& k : kinds) {
        const PngShape one = {1, 1, k.colourType, k.depths.back(), false, k.transparency};
        files.push_back({std::string(k.name) + "-1x1", WritePng(one)});
    }
    return files;
}

bool ReferenceDecode(const std::vector<unsigned char>& bytes, std::vector<unsigned char>* rgba,
                     int* width, int* height) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quietWarning);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    ReadSource src = {&bytes, 0};
    png_set_read_fn(png, &src, readBytes);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    *width = (int)png_get_image_width(png, info);
    *height = (int)png_get_image_height(png, info);
    rgba->assign((size_t)*width * *height * 4, 0);
    for (int y = 0; y < *height; ++y)
        rows.push_back(rgba->data() + (size_t)y * *width * 4);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace png_corpus
