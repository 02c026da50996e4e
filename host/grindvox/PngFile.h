#pragma once

#include <string>

// Writes rows of 8-bit RGB pixels as a PNG file: the pixel of column x on row y is at
// pixels + y * bytesPerRow + x * bytesPerPixel, red first. False (no file left behind) when
// the file cannot be written.
bool WriteRgbPng(const std::string& path, const unsigned char* pixels, int width, int height,
                 int bytesPerRow, int bytesPerPixel);
