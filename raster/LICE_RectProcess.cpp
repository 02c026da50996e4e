#include "raster/LICE_RectProcess.h"

#include "raster/LICE_BlitTemplates.h"

namespace {

bool clipRect(LICE_IBitmap* bm, int& x, int& y, int& w, int& h, LICE_Rows& rows) {
    if (!bm) return false;
    long long l = x, t = y, r = (long long)x + w, b = (long long)y + h;
    if (l < 0) l = 0;
    if (t < 0) t = 0;
    if (r > bm->getWidth()) r = bm->getWidth();
    if (b > bm->getHeight()) b = bm->getHeight();
    if (r <= l || b <= t) return false;
    rows = LICE_RowsOf(bm);
    x = (int)l, y = (int)t, w = (int)(r - l), h = (int)(b - t);
    return rows.first != nullptr;
}

} // namespace

void LICE_MultiplyAddRect(LICE_IBitmap* dest, int x, int y, int w, int h, float rsc, float gsc,
                          float bsc, float asc, float radd, float gadd, float badd, float aadd) {
    LICE_Rows rows;
    if (!clipRect(dest, x, y, w, h, rows)) return;
    // 16.16 factors per byte position (alpha, red, green, blue), limited so that the products
    // stay inside 32 bits.
    auto fx = [](float v) {
        const int f = LICE_DoubleToIntSat(v * 65536.0);
        return f < -(1 << 22) ? -(1 << 22) : (f > (1 << 22) ? (1 << 22) : f);
    };
    const int sc[4] = {fx(asc), fx(rsc), fx(gsc), fx(bsc)};
    const int ad[4] = {fx(aadd), fx(radd), fx(gadd), fx(badd)};
    for (int j = 0; j < h; ++j) {
        LICE_pixel_chan* p = (LICE_pixel_chan*)(rows.row(y + j) + x);
        for (int i = 0; i < w * 4; ++i) {
            const long long v = ((long long)p[i] * sc[i & 3] + ad[i & 3]) >> 16;
            p[i] = (LICE_pixel_chan)(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
    }
}

void LICE_ProcessRect(LICE_IBitmap* dest, int x, int y, int w, int h,
                      void (*procpix)(LICE_pixel* pixel, void* parm), void* parm) {
    LICE_Rows rows;
    if (!procpix || !clipRect(dest, x, y, w, h, rows)) return;
    for (int j = 0; j < h; ++j) {
        LICE_pixel* p = rows.row(y + j) + x;
        for (int i = 0; i < w; ++i)
            procpix(p + i, parm);
    }
}

void LICE_SimpleFill(LICE_IBitmap* dest, int x, int y, LICE_pixel newcolor, LICE_pixel comparemask,
                     LICE_pixel keepmask) {
    if (!dest || x < 0 || y < 0 || x >= dest->getWidth() || y >= dest->getHeight()) return;
    const LICE_Rows rows = LICE_RowsOf(dest);
    if (!rows.first) return;
    const int w = dest->getWidth(), h = dest->getHeight();
    const LICE_pixel target = rows.row(y)[x] & comparemask;
    auto matches = [&](const LICE_pixel* p) { return (*p & comparemask) == target; };
    auto fillRow = [&](int yy) {
        LICE_pixel* row = rows.row(yy);
        for (int i = x; i >= 0 && matches(row + i); --i)
            row[i] = (row[i] & keepmask) | newcolor;
        for (int i = x + 1; i < w && matches(row + i); ++i)
            row[i] = (row[i] & keepmask) | newcolor;
    };
    for (int yy = y; yy < h && matches(rows.row(yy) + x); ++yy)
        fillRow(yy);
    for (int yy = y - 1; yy >= 0 && matches(rows.row(yy) + x); --yy)
        fillRow(yy);
}

void LICE_SetAlphaFromColorMask(LICE_IBitmap* dest, LICE_pixel color) {
    int x = 0, y = 0, w = dest ? dest->getWidth() : 0, h = dest ? dest->getHeight() : 0;
    LICE_Rows rows;
    if (!clipRect(dest, x, y, w, h, rows)) return;
    const LICE_pixel key = color & ~(LICE_pixel)0xff;
    for (int j = 0; j < h; ++j) {
        LICE_pixel* p = rows.row(j);
        for (int i = 0; i < w; ++i)
            p[i] = (p[i] & ~(LICE_pixel)0xff) | ((p[i] & ~(LICE_pixel)0xff) == key ? 0 : 255);
    }
}
