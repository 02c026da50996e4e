#pragma once

// The rasteriser's pixel: one unsigned 32-bit word whose bytes in memory are alpha, red, green,
// blue (so on a little-endian machine alpha is the low byte). Colour is not premultiplied; alpha
// is a fourth channel that most operators combine like the others. This is the byte order of the
// GDI layer's memory contexts (one byte the display ignores, then red, green, blue), so what the
// rasteriser writes into a system bitmap is what the screen shows.

typedef unsigned int LICE_pixel;
typedef unsigned char LICE_pixel_chan;

// Byte positions of the channels inside a pixel; also the channel numbers of the channel-copy
// blend mode.
enum {
    LICE_PIXEL_A = 0,
    LICE_PIXEL_R = 1,
    LICE_PIXEL_G = 2,
    LICE_PIXEL_B = 3,
};

inline LICE_pixel LICE_MakePixel(int r, int g, int b, int a) {
    return (LICE_pixel)a + (((LICE_pixel)r << 8) & 0xff00) + (((LICE_pixel)g << 16) & 0xff0000) +
           ((LICE_pixel)b << 24);
}
inline int LICE_PixelA(LICE_pixel p) {
    return (int)(p & 0xff);
}
inline int LICE_PixelR(LICE_pixel p) {
    return (int)((p >> 8) & 0xff);
}
inline int LICE_PixelG(LICE_pixel p) {
    return (int)((p >> 16) & 0xff);
}
inline int LICE_PixelB(LICE_pixel p) {
    return (int)(p >> 24);
}

// The blend-mode word every drawing operation takes.
enum {
    LICE_COMBINE_MASK = 0xff,
    LICE_COMBINE_COPY = 0,
    LICE_COMBINE_ADD = 1,
    LICE_COMBINE_DODGE = 2,
    LICE_COMBINE_MULTIPLY = 3,
    LICE_COMBINE_OVERLAY = 4,
    LICE_COMBINE_HSV_ADJUST = 5,
    // Blits only: any low byte from 0xf0 copies one byte channel, source channel mode & 3 into
    // destination channel (mode >> 2) & 3.
    LICE_COMBINE_CHANNEL_COPY = 0xf0,
    LICE_FILTER_MASK = 0xff00,
    // Only a filter field of exactly this value samples bilinearly; anything else is nearest.
    LICE_FILTER_BILINEAR = 0x100,
    LICE_USE_SOURCE_ALPHA = 0x10000,
};

// The integer weight of a float alpha: trunc(alpha * 256), so 1.0 is 256 and 0.5 is 128. Values
// far outside 0..1 are limited to +-4096 (and NaN counts as 0) so that the conversion and the
// operators' integer arithmetic stay defined for any input.
inline int LICE_AlphaToWeight(float alpha) {
    const double v = (double)alpha * 256.0;
    if (!(v == v)) return 0;
    if (v > 4096.0) return 4096;
    if (v < -4096.0) return -4096;
    return (int)v;
}

// Converts a double to an int by truncation, saturating instead of overflowing; NaN gives 0.
inline int LICE_DoubleToIntSat(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return (-2147483647 - 1);
    return (int)v;
}
