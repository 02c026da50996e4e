#include "raster/LICE_Combine.h"

namespace lice_detail {

namespace {

struct InvTable {
    unsigned short v[256];
    constexpr InvTable() : v() {
        for (int i = 1; i < 256; ++i)
            v[i] = (unsigned short)(65536 / i - 1);
    }
};

constexpr InvTable kInvTable;

// Channel value of one side of a hue sector: falls from val toward low as t rises to 64.
inline int ramp(int val, int sat, int t) {
    return ((val * (16384 - t * sat)) >> 14) & 0xff;
}

} // namespace

const unsigned short LICE_RGB2HSV_invtab[256] = {
#define LICE_INV4(i) kInvTable.v[i], kInvTable.v[i + 1], kInvTable.v[i + 2], kInvTable.v[i + 3]
#define LICE_INV16(i) LICE_INV4(i), LICE_INV4(i + 4), LICE_INV4(i + 8), LICE_INV4(i + 12)
#define LICE_INV64(i) LICE_INV16(i), LICE_INV16(i + 16), LICE_INV16(i + 32), LICE_INV16(i + 48)
    LICE_INV64(0), LICE_INV64(64), LICE_INV64(128), LICE_INV64(192)
#undef LICE_INV64
#undef LICE_INV16
#undef LICE_INV4
};

void hsvAdjust(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
    const int R = p[LICE_PIXEL_R], G = p[LICE_PIXEL_G], B = p[LICE_PIXEL_B];
    int maxv, delta, diff, base;
    if (G > R) {
        if (G > B) {
            maxv = G, delta = G - (R < B ? R : B), diff = B - R, base = 128;
        } else {
            maxv = B, delta = B - (G < R ? G : R), diff = R - G, base = 256;
        }
    } else if (R > B) {
        maxv = R, delta = R - (G < B ? G : B), diff = G - B, base = G < B ? 383 : 0;
    } else {
        maxv = B, delta = B - (G < R ? G : R), diff = R - G, base = 256;
    }

    int hue = base + ((LICE_RGB2HSV_invtab[delta] + 1) * diff) / 1024;
    const int sat = (LICE_RGB2HSV_invtab[maxv] * delta) / 256;

    hue += ((r + r / 2 - 192) * w) / 256;
    if (hue >= 384) hue -= 384;
    if (hue < 0) hue += 384;
    // Only a source channel far outside 0..255 gets here; keep the sector lookup in range.
    if (hue < 0 || hue >= 384) hue = ((hue % 384) + 384) % 384;

    const int s2 = clamp255(sat + ((g - 128) * w) / 128);
    const int v2 = clamp255(maxv + ((b - 128) * w) / 128);
    const int low = ((256 - s2) * v2) >> 8;

    int nr, ng, nb;
    switch (hue >> 6) {
    case 0: nr = v2, ng = ramp(v2, s2, 64 - hue), nb = low; break;
    case 1: nr = ramp(v2, s2, hue - 64), ng = v2, nb = low; break;
    case 2: nr = low, ng = v2, nb = ramp(v2, s2, 192 - hue); break;
    case 3: nr = low, ng = ramp(v2, s2, hue - 192), nb = v2; break;
    case 4: nr = ramp(v2, s2, 320 - hue), ng = low, nb = v2; break;
    default: nr = v2, ng = low, nb = ramp(v2, s2, hue - 320); break;
    }
    p[LICE_PIXEL_R] = (LICE_pixel_chan)nr;
    p[LICE_PIXEL_G] = (LICE_pixel_chan)ng;
    p[LICE_PIXEL_B] = (LICE_pixel_chan)nb;
    p[LICE_PIXEL_A] = (LICE_pixel_chan)a;
}

} // namespace lice_detail

namespace {

// Applies the operator that `dispatch` picks to one pixel.
template <class Dispatch>
void combineOne(LICE_pixel* dest, int r, int g, int b, int a, int ia, int mode, Dispatch dispatch) {
    dispatch(mode, ia, [&](auto tag) {
        typedef typename decltype(tag)::type Op;
        Op::doPix((LICE_pixel_chan*)dest, r, g, b, a, ia);
    });
}

// The clamping counterparts of the standard dispatch.
template <class F>
bool dispatchClamp(int mode, int ia, F&& f) {
    switch (mode & 0x100ff) {
    case LICE_COMBINE_COPY:
        if (ia < 1) return false;
        if (ia == 256)
            f(LICE_OpTag<_LICE_CombinePixelsClobberClamp>());
        else
            f(LICE_OpTag<_LICE_CombinePixelsCopyClamp>());
        return true;
    case LICE_COMBINE_MULTIPLY: f(LICE_OpTag<_LICE_CombinePixelsMulClamp>()); return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_COPY:
        if (ia == 256)
            f(LICE_OpTag<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp>());
        else
            f(LICE_OpTag<_LICE_CombinePixelsCopySourceAlphaClamp>());
        return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_MULTIPLY:
        f(LICE_OpTag<_LICE_CombinePixelsMulSourceAlphaClamp>());
        return true;
    default:
        // Add, dodge, overlay and HSV adjust clamp every result already.
        return LICE_DispatchStandard(mode, ia, f);
    }
}

int limit(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace

LICE_pixel LICE_CombinePixels(LICE_pixel dest, LICE_pixel src, float alpha, int mode) {
    const int ia = LICE_AlphaToWeight(alpha);
    if (ia == 0) return dest;
    LICE_pixel out = dest;
    combineOne(&out, LICE_PixelR(src), LICE_PixelG(src), LICE_PixelB(src), LICE_PixelA(src), ia,
               mode, [](int m, int w, auto&& f) { return LICE_DispatchStandard(m, w, f); });
    return out;
}

// Limits the arguments of the in-place forms so that every operator's products stay inside
// 32 bits; channels in 0..255 and weights up to 256 pass unchanged.
static void limitArguments(int& r, int& g, int& b, int& a, int& ia) {
    r = limit(r, -8192, 8192), g = limit(g, -8192, 8192), b = limit(b, -8192, 8192);
    a = limit(a, -256, 512);
    ia = limit(ia, -256, 256);
}

void LICE_CombinePixels2(LICE_pixel* dest, int r, int g, int b, int a, int ia, int mode) {
    if (!dest || ia == 0) return;
    limitArguments(r, g, b, a, ia);
    combineOne(dest, r, g, b, a, ia, mode,
               [](int m, int w, auto&& f) { return LICE_DispatchStandard(m, w, f); });
}

void LICE_CombinePixels2Clamp(LICE_pixel* dest, int r, int g, int b, int a, int ia, int mode) {
    if (!dest || ia == 0) return;
    limitArguments(r, g, b, a, ia);
    if ((mode & 0xff) == LICE_COMBINE_HSV_ADJUST) a = lice_detail::clamp255(a);
    combineOne(dest, r, g, b, a, ia, mode,
               [](int m, int w, auto&& f) { return dispatchClamp(m, w, f); });
}
