#pragma once

// A colour of the editor: alpha, red, green, blue, each 0..255, not premultiplied. Drawing packs
// it into a raster pixel, each channel contributing its low 8 bits.
struct IColor {
    int A = 0;
    int R = 0;
    int G = 0;
    int B = 0;

    constexpr IColor() = default;
    constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

    constexpr bool operator==(const IColor& other) const {
        return A == other.A && R == other.R && G == other.G && B == other.B;
    }
    constexpr bool operator!=(const IColor& other) const { return !(*this == other); }
};

inline constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline constexpr IColor COLOR_BLACK(255, 0, 0, 0);
inline constexpr IColor COLOR_GRAY(255, 127, 127, 127);
inline constexpr IColor COLOR_WHITE(255, 255, 255, 255);
inline constexpr IColor COLOR_RED(255, 255, 0, 0);
inline constexpr IColor COLOR_GREEN(255, 0, 255, 0);
inline constexpr IColor COLOR_BLUE(255, 0, 0, 255);
inline constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
inline constexpr IColor COLOR_ORANGE(255, 255, 127, 0);
inline constexpr IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
