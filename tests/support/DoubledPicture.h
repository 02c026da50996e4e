#pragma once

// The reference for the editor shown at display scale 2: a w x h picture enlarged twice,
// worked out per pixel independently of the rasteriser. Device pixel i samples the picture at
// i / 2, so even pixels are the picture's own and odd ones the truncated mean of their two
// (odd both ways, four) neighbours; past the last column and row nothing is mixed in.
// rgb(x, y) answers 0xRRGGBB of the picture.
template <class Picture>
unsigned int DoubledPixel(const Picture& rgb, int w, int h, int x, int y) {
    const int xs[] = {x / 2, x % 2 && x / 2 + 1 < w ? x / 2 + 1 : x / 2};
    const int ys[] = {y / 2, y % 2 && y / 2 + 1 < h ? y / 2 + 1 : y / 2};
    const int nx = xs[1] != xs[0] ? 2 : 1, ny = ys[1] != ys[0] ? 2 : 1;
    unsigned int result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        unsigned int sum = 0;
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i)
                sum += (rgb(xs[i], ys[j]) >> shift) & 0xFF;
        result |= sum / (nx * ny) << shift;
    }
    return result;
}

// How many device pixels of the picture shown at scale 2 differ from the reference;
// shown(x, y) answers 0xRRGGBB of device pixel (x, y) of the 2w x 2h picture.
template <class Picture, class Shown>
int PixelsDifferingFromDoubled(const Picture& rgb, int w, int h, const Shown& shown) {
    int differing = 0;
    for (int y = 0; y < 2 * h; ++y)
        for (int x = 0; x < 2 * w; ++x)
            differing += shown(x, y) != DoubledPixel(rgb, w, h, x, y);
    return differing;
}
