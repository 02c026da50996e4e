#include "XftText_p.h"

namespace appkit {

XftFont* OpenFont(const char* family, double pixelSize) {
    Connection* c = OpenedConnection();
    if (!c) return nullptr;
    XftFont* font = XftFontOpen(c->display, c->screen, XFT_FAMILY, XftTypeString,
                                family && *family ? family : "sans", XFT_PIXEL_SIZE, XftTypeDouble,
                                pixelSize > 0 ? pixelSize : 12.0, nullptr);
    return font;
}

void CloseFont(XftFont* font) {
    Connection* c = OpenedConnection();
    if (c && font) XftFontClose(c->display, font);
}

namespace {

XftColor colorFor(Connection* c, unsigned rgb) {
    XRenderColor value;
    value.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257);
    value.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257);
    value.blue = static_cast<unsigned short>((rgb & 0xFF) * 257);
    value.alpha = 0xFFFF;
    XftColor color{};
    XftColorAllocValue(c->display, c->visual, c->colormap, &value, &color);
    return color;
}

void freeColor(Connection* c, XftColor* color) {
    XftColorFree(c->display, c->visual, c->colormap, color);
}

} // namespace

XftPainter::XftPainter(Window window) {
    Connection* c = OpenedConnection();
    if (c && window) mDraw = XftDrawCreate(c->display, window, c->visual, c->colormap);
}

XftPainter::~XftPainter() {
    if (mDraw) XftDrawDestroy(mDraw);
}

void XftPainter::FillRect(int x, int y, int width, int height, unsigned rgb) {
    Connection* c = OpenedConnection();
    if (!mDraw || !c || width <= 0 || height <= 0) return;
    XftColor color = colorFor(c, rgb);
    XftDrawRect(mDraw, &color, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    freeColor(c, &color);
}

void XftPainter::DrawText(XftFont* font, int x, int y, const std::string& text, unsigned rgb) {
    Connection* c = OpenedConnection();
    if (!mDraw || !c || !font || text.empty()) return;
    XftColor color = colorFor(c, rgb);
    XftDrawStringUtf8(mDraw, &color, font, x, y, reinterpret_cast<const FcChar8*>(text.data()),
                      static_cast<int>(text.size()));
    freeColor(c, &color);
}

int TextWidth(XftFont* font, const std::string& text) {
    Connection* c = OpenedConnection();
    if (!c || !font || text.empty()) return 0;
    XGlyphInfo extents;
    XftTextExtentsUtf8(c->display, font, reinterpret_cast<const FcChar8*>(text.data()),
                       static_cast<int>(text.size()), &extents);
    return extents.xOff;
}

} // namespace appkit
