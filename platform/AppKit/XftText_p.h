#pragma once

// Text and plain fills drawn straight into an X window with Xft, for the windows the stand-in
// draws itself (popup menus, text fields).
#include "AppKitX11_p.h"

#include <X11/Xft/Xft.h>

#include <string>

namespace appkit {

// A face by family name and pixel size; a missing family falls back to fontconfig's best
// match. Null when even that fails.
XftFont* OpenFont(const char* family, double pixelSize);
void CloseFont(XftFont* font);

// Drawing into one X window; colours are 0xRRGGBB.
class XftPainter {
public:
    explicit XftPainter(Window window);
    ~XftPainter();
    XftPainter(const XftPainter&) = delete;
    XftPainter& operator=(const XftPainter&) = delete;

    bool ok() const { return mDraw != nullptr; }
    void FillRect(int x, int y, int width, int height, unsigned rgb);
    // text with its baseline at y.
    void DrawText(XftFont* font, int x, int y, const std::string& text, unsigned rgb);

private:
    XftDraw* mDraw = nullptr;
};

// The advance of the text in pixels.
int TextWidth(XftFont* font, const std::string& text);

} // namespace appkit
