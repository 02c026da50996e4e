#include "raster/LICE_BitmapCmp.h"

#include "raster/LICE_BlitTemplates.h"

namespace {

int order(long long a, long long b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

int LICE_BitmapCmp(LICE_IBitmap* a, LICE_IBitmap* b, int* coordsOut) {
    if (coordsOut) coordsOut[0] = coordsOut[1] = coordsOut[2] = coordsOut[3] = 0;
    if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
    if (int c = order(a->getWidth(), b->getWidth())) return c;
    if (int c = order(a->getHeight(), b->getHeight())) return c;
    const int w = a->getWidth(), h = a->getHeight();
    if (w <= 0 || h <= 0) return 0;
    const LICE_Rows ra = LICE_RowsOf(a), rb = LICE_RowsOf(b);
    if (!ra.first || !rb.first) return order(ra.first != nullptr, rb.first != nullptr);

    int result = 0, l = w, t = h, r = -1, btm = -1;
    for (int y = 0; y < h; ++y) {
        const LICE_pixel* pa = ra.row(y);
        const LICE_pixel* pb = rb.row(y);
        for (int x = 0; x < w; ++x) {
            if (pa[x] == pb[x]) continue;
            if (!result) {
                result = pa[x] < pb[x] ? -1 : 1;
                if (!coordsOut) return result;
            }
            if (x < l) l = x;
            if (x > r) r = x;
            if (y < t) t = y;
            btm = y;
        }
    }
    if (result && coordsOut) {
        coordsOut[0] = l, coordsOut[1] = t, coordsOut[2] = r - l + 1, coordsOut[3] = btm - t + 1;
    }
    return result;
}
