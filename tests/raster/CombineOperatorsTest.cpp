// Every per-channel combine operator over all 256 x 256 (source, destination) channel pairs at
// several weights, against slow formulas written here. Each operator is checked through its
// doPix and through its row kernels (the SSE2 forms where there are any), so the vector code is
// held to the same bytes as the scalar code.

#include "raster/LICE_CombineRows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Integer division truncating toward zero, worked out in floating point.
int tdiv(long long a, long long b) {
    return (int)std::trunc((double)a / (double)b);
}
int clampRef(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

struct Colour {
    int c[4]; // byte positions: alpha, red, green, blue
};

typedef void (*Reference)(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]);

void refClobber(const uint8_t*, const Colour& s, int, uint8_t out[4]) {
    for (int k = 0; k < 4; ++k)
        out[k] = (uint8_t)s.c[k];
}
void refCopy(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]) {
    for (int k = 0; k < 4; ++k)
        out[k] = (uint8_t)(s.c[k] + tdiv((d[k] - s.c[k]) * (256 - w), 256));
}
int weightOf(int a, int w) {
    return tdiv((long long)(a + 1) * w, 256);
}
void refCopySourceAlpha(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]) {
    for (int k = 0; k < 4; ++k)
        out[k] = d[k];
    const int a = s.c[0];
    if (a == 0) return;
    const int ww = weightOf(a, w);
    for (int k = 1; k < 4; ++k)
        out[k] = (uint8_t)(s.c[k] + tdiv((d[k] - s.c[k]) * (256 - ww), 256));
    out[0] = (uint8_t)std::min(255, d[0] + ww);
}
void refCopySourceAlphaWhole(const uint8_t d[4], const Colour& s, int, uint8_t out[4]) {
    for (int k = 0; k < 4; ++k)
        out[k] = d[k];
    const int a = s.c[0];
    if (a == 0) return;
    if (a == 255) {
        for (int k = 1; k < 4; ++k)
            out[k] = (uint8_t)s.c[k];
        out[0] = 255;
        return;
    }
    for (int k = 1; k < 4; ++k)
        out[k] = (uint8_t)(s.c[k] + tdiv((d[k] - s.c[k]) * (255 - a), 256));
    out[0] = (uint8_t)std::min(255, d[0] + a);
}
void refAdd(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]) {
    for (int k = 0; k < 4; ++k)
        out[k] = (uint8_t)clampRef(d[k] + tdiv(s.c[k] * w, 256));
}
void refAddSourceAlpha(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]) {
    if (s.c[0] == 0) {
        for (int k = 0; k < 4; ++k)
            out[k] = d[k];
        return;
    }
    refAdd(d, s, weightOf(s.c[0], w), out);
}
void refDodge(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]) {
    for (int k = 0; k < 4; ++k) {
        const int kk = 256 - tdiv(s.c[k] * w, 256);
        out[k] = (uint8_t)clampRef(kk > 1 ? tdiv(d[k] * 256, kk) : d[k] * 256);
    }
}
void refDodgeSourceAlpha(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]) {
    refDodge(d, s, weightOf(s.c[0], w), out);
}
void refMul(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]) {
    for (int k = 0; k < 4; ++k)
        out[k] = (uint8_t)tdiv((long long)d[k] * (s.c[k] * w + (256 - w) * 256), 65536);
}
void refMulSourceAlpha(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]) {
    if (s.c[0] == 0) {
        for (int k = 0; k < 4; ++k)
            out[k] = d[k];
        return;
    }
    refMul(d, s, weightOf(s.c[0], w), out);
}
void refOverlay(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]) {
    for (int k = 0; k < 4; ++k) {
        const int sv = s.c[k] * w + (256 - w) * 128;
        out[k] =
            (uint8_t)clampRef(tdiv((long long)(tdiv((32768 - sv) * d[k], 256) + sv) * d[k], 32768));
    }
}
void refOverlaySourceAlpha(const uint8_t d[4], const Colour& s, int w, uint8_t out[4]) {
    refOverlay(d, s, weightOf(s.c[0], w), out);
}

struct OperatorCase {
    const char* name;
    void (*doPix)(LICE_pixel_chan*, int, int, int, int, int);
    void (*blitRow)(LICE_pixel*, const LICE_pixel*, int, int);
    void (*fillRow)(LICE_pixel*, int, int, int, int, int, int);
    Reference reference;
};

template <class Op>
OperatorCase make(const char* name, Reference ref) {
    return {name, &Op::doPix, &LICE_RowKernel<Op>::blitRow, &LICE_RowKernel<Op>::fillRow, ref};
}

const int kWeights[] = {1, 64, 128, 200, 255, 256};
// Source alphas held fixed while every colour pair is swept, for the source-alpha operators.
const int kAlphas[] = {0, 1, 2, 63, 127, 128, 200, 254, 255};

// The (destination, source) pixels of sweep index i in variant v. Each channel maps the index
// to its pair differently, so every channel sees all 65536 pairs. Variant 0 also sweeps the
// alpha pairs; variant v > 0 holds the source alpha at kAlphas[v - 1].
void pairAt(int i, int v, uint8_t d[4], Colour& s) {
    const int hi = i >> 8, lo = i & 255;
    s.c[1] = hi, d[1] = (uint8_t)lo;
    s.c[2] = lo, d[2] = (uint8_t)hi;
    s.c[3] = 255 - hi, d[3] = (uint8_t)(lo ^ 0x5a);
    s.c[0] = v == 0 ? hi : kAlphas[v - 1], d[0] = (uint8_t)(255 - lo);
}

LICE_pixel pack(const uint8_t b[4]) {
    return LICE_MakePixel(b[1], b[2], b[3], b[0]);
}
LICE_pixel pack(const Colour& c) {
    return LICE_MakePixel(c.c[1], c.c[2], c.c[3], c.c[0]);
}

std::string describe(const char* how, int w, const uint8_t d[4], const Colour& s,
                     const uint8_t want[4], const uint8_t got[4]) {
    char text[256];
    snprintf(text, sizeof text,
             "%s weight %d: dest (a %d r %d g %d b %d) source (a %d r %d g %d b %d): want "
             "(%d %d %d %d) got (%d %d %d %d)",
             how, w, d[0], d[1], d[2], d[3], s.c[0], s.c[1], s.c[2], s.c[3], want[0], want[1],
             want[2], want[3], got[0], got[1], got[2], got[3]);
    return text;
}

bool same(const uint8_t a[4], const uint8_t b[4]) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

// Checks doPix and the blit row kernel over every pair of one variant at one weight.
void checkSweep(const OperatorCase& op, int v, int w) {
    const int n = 65536;
    std::vector<LICE_pixel> dst(n), src(n), want(n);
    for (int i = 0; i < n; ++i) {
        uint8_t d[4], out[4];
        Colour s;
        pairAt(i, v, d, s);
        op.reference(d, s, w, out);
        dst[i] = pack(d), src[i] = pack(s), want[i] = pack(out);
    }
    for (int i = 0; i < n; ++i) {
        LICE_pixel p = dst[i];
        uint8_t d[4];
        Colour s;
        pairAt(i, v, d, s);
        op.doPix((LICE_pixel_chan*)&p, s.c[1], s.c[2], s.c[3], s.c[0], w);
        if (p != want[i]) {
            ADD_FAILURE() << op.name << " "
                          << describe("doPix", w, d, s, (const uint8_t*)&want[i],
                                      (const uint8_t*)&p);
            return;
        }
    }
    // Rows of an odd length, so that every row ends in a scalar tail.
    std::vector<LICE_pixel> rows = dst;
    for (int i = 0; i < n; i += 61)
        op.blitRow(&rows[i], &src[i], std::min(61, n - i), w);
    for (int i = 0; i < n; ++i) {
        if (rows[i] == want[i]) continue;
        uint8_t d[4];
        Colour s;
        pairAt(i, v, d, s);
        ADD_FAILURE() << op.name << " "
                      << describe("blitRow", w, d, s, (const uint8_t*)&want[i],
                                  (const uint8_t*)&rows[i]);
        return;
    }
}

// Checks the fill row kernel: one colour per row over 256 destinations covering every pair.
void checkFill(const OperatorCase& op, int w) {
    std::vector<LICE_pixel> row(256);
    for (int sv = 0; sv < 256; ++sv) {
        const Colour s = {{sv, 255 - sv, sv ^ 0xa5, (sv * 7) & 255}};
        for (int dv = 0; dv < 256; ++dv) {
            const uint8_t d[4] = {(uint8_t)dv, (uint8_t)(255 - dv), (uint8_t)dv,
                                  (uint8_t)(dv ^ 0x33)};
            row[dv] = pack(d);
        }
        std::vector<LICE_pixel> before = row;
        op.fillRow(row.data(), 253, s.c[1], s.c[2], s.c[3], s.c[0], w);
        for (int dv = 0; dv < 256; ++dv) {
            uint8_t want[4];
            const uint8_t* d = (const uint8_t*)&before[dv];
            if (dv < 253)
                op.reference(d, s, w, want);
            else
                memcpy(want, d, 4);
            if (!same(want, (const uint8_t*)&row[dv])) {
                ADD_FAILURE() << op.name << " "
                              << describe("fillRow", w, d, s, want, (const uint8_t*)&row[dv]);
                return;
            }
        }
    }
}

std::vector<OperatorCase> plainOperators() {
    return {
        make<_LICE_CombinePixelsClobberNoClamp>("ClobberNoClamp", refClobber),
        make<_LICE_CombinePixelsClobberClamp>("ClobberClamp", refClobber),
        make<_LICE_CombinePixelsCopyNoClamp>("CopyNoClamp", refCopy),
        make<_LICE_CombinePixelsCopyClamp>("CopyClamp", refCopy),
        make<_LICE_CombinePixelsAdd>("Add", refAdd),
        make<_LICE_CombinePixelsColorDodge>("ColorDodge", refDodge),
        make<_LICE_CombinePixelsMulNoClamp>("MulNoClamp", refMul),
        make<_LICE_CombinePixelsMulClamp>("MulClamp", refMul),
        make<_LICE_CombinePixelsOverlay>("Overlay", refOverlay),
    };
}

std::vector<OperatorCase> sourceAlphaOperators() {
    return {
        make<_LICE_CombinePixelsCopySourceAlphaNoClamp>("CopySourceAlphaNoClamp",
                                                        refCopySourceAlpha),
        make<_LICE_CombinePixelsCopySourceAlphaClamp>("CopySourceAlphaClamp", refCopySourceAlpha),
        make<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>(
            "CopySourceAlphaIgnoreAlphaParmNoClamp", refCopySourceAlphaWhole),
        make<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp>(
            "CopySourceAlphaIgnoreAlphaParmClamp", refCopySourceAlphaWhole),
        make<_LICE_CombinePixelsAddSourceAlpha>("AddSourceAlpha", refAddSourceAlpha),
        make<_LICE_CombinePixelsColorDodgeSourceAlpha>("ColorDodgeSourceAlpha",
                                                       refDodgeSourceAlpha),
        make<_LICE_CombinePixelsMulSourceAlphaNoClamp>("MulSourceAlphaNoClamp", refMulSourceAlpha),
        make<_LICE_CombinePixelsMulSourceAlphaClamp>("MulSourceAlphaClamp", refMulSourceAlpha),
        make<_LICE_CombinePixelsOverlaySourceAlpha>("OverlaySourceAlpha", refOverlaySourceAlpha),
    };
}

TEST(CombineOperators, PlainOperatorsMatchTheirFormulasOverEveryPair) {
    for (const OperatorCase& op : plainOperators())
        for (int w : kWeights)
            checkSweep(op, 0, w);
}

TEST(CombineOperators, SourceAlphaOperatorsMatchTheirFormulasOverEveryPairAndAlpha) {
    const int variants = 1 + (int)(sizeof kAlphas / sizeof kAlphas[0]);
    for (const OperatorCase& op : sourceAlphaOperators())
        for (int w : kWeights)
            for (int v = 0; v < variants; ++v)
                checkSweep(op, v, w);
}

TEST(CombineOperators, FillRowsMatchTheFormulasForEveryColourOverEveryDestination) {
    for (const OperatorCase& op : plainOperators())
        for (int w : kWeights)
            checkFill(op, w);
    for (const OperatorCase& op : sourceAlphaOperators())
        for (int w : kWeights)
            checkFill(op, w);
}

// The word operators against per-byte arithmetic.
TEST(CombineOperators, WordMixesTakeHalvesAndQuartersOfEachByte) {
    std::vector<LICE_pixel> d(4099), s(4099);
    uint32_t x = 12345;
    for (size_t i = 0; i < d.size(); ++i) {
        x = x * 1664525u + 1013904223u, d[i] = x;
        x = x * 1664525u + 1013904223u, s[i] = x;
    }
    const LICE_pixel colour = 0xc87f01ffu;
    auto bytes = [](LICE_pixel p, int k) { return (int)((p >> (8 * k)) & 0xff); };
    auto expectAll = [&](const std::vector<LICE_pixel>& got, const char* name, auto perByte) {
        for (size_t i = 0; i < got.size(); ++i)
            for (int k = 0; k < 4; ++k) {
                const int want = perByte(bytes(d[i], k), bytes(s[i], k), bytes(colour, k));
                if (bytes(got[i], k) != want) {
                    ADD_FAILURE() << name << " pixel " << i << " byte " << k << ": want " << want
                                  << " got " << bytes(got[i], k);
                    return;
                }
            }
    };
    std::vector<LICE_pixel> out = d;
    LICE_FastRowKernel<_LICE_CombinePixelsHalfMixFAST>::blitRowFAST(out.data(), s.data(),
                                                                    (int)out.size());
    expectAll(out, "HalfMix", [](int dv, int sv, int) { return dv / 2 + sv / 2; });

    out = d;
    LICE_FastRowKernel<_LICE_CombinePixelsHalfMix2FAST>::fillRowFAST(
        out.data(), (int)out.size(), _LICE_CombinePixelsHalfMix2FAST::prepare(colour));
    expectAll(out, "HalfMix2", [](int dv, int, int c) { return dv / 2 + c / 2; });

    out = d;
    LICE_FastRowKernel<_LICE_CombinePixelsQuarterMix2FAST>::fillRowFAST(
        out.data(), (int)out.size(), _LICE_CombinePixelsQuarterMix2FAST::prepare(colour));
    expectAll(out, "QuarterMix2", [](int dv, int, int c) { return dv / 4 + dv / 2 + c / 4; });

    out = d;
    LICE_FastRowKernel<_LICE_CombinePixelsThreeQuarterMix2FAST>::fillRowFAST(
        out.data(), (int)out.size(), _LICE_CombinePixelsThreeQuarterMix2FAST::prepare(colour));
    expectAll(out, "ThreeQuarterMix2", [](int dv, int, int c) { return dv / 4 + c / 2 + c / 4; });
}

} // namespace
