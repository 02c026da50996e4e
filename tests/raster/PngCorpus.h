#pragma once

// PNG files made with libpng's writer: every colour type and bit depth, plain and Adam7
// interlaced, with transparency chunks in grey, RGB and palette images, and 1 x 1 pictures.
// The same files, written out, are the PNG fuzzer's checked-in corpus.

#include <string>
#include <vector>

namespace png_corpus {

struct PngFile {
    std::string name;
    std::vector<unsigned char> bytes;
};

// What to write: size, libpng colour type and depth, interlacing and a transparency chunk.
struct PngShape {
    int width, height;
    int colourType, depth;
    bool interlaced;
    bool transparency;
};

std::vector<unsigned char> WritePng(const PngShape& shape);
std::vector<PngFile> Corpus();

// libpng's own plain decode (expand, strip to 8 bits, grey to RGB, alpha after the colour),
// as RGBA bytes per pixel, rows top to bottom. False when libpng refuses the data.
bool ReferenceDecode(const std::vector<unsigned char>& bytes, std::vector<unsigned char>* rgba,
                     int* width, int* height);

} // namespace png_corpus
