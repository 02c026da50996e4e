// Arbitrary bytes as PNG data: decoded into a new bitmap and into a given one. A picture that
// loads must fill exactly the bitmap it says.
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_PNG.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    fprintf(stderr, "LoadPNGFromMemoryFuzzer: %s\n", what);
    abort();
}

// Reads every pixel, so that rows libpng did not write show up under the sanitizers.
unsigned sum(LICE_IBitmap* bm) {
    unsigned s = 0;
    for (int y = 0; y < bm->getHeight(); ++y)
        for (int x = 0; x < bm->getWidth(); ++x)
            s += bm->getBits()[y * bm->getRowSpan() + x];
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 24)) return 0;
    const int len = (int)size;
    LICE_IBitmap* fresh = LICE_LoadPNGFromMemory(data, len, nullptr);
    if (fresh) {
        check(fresh->getWidth() > 0 && fresh->getHeight() > 0 && fresh->getBits(),
              "a loaded picture has pixels");
        sum(fresh);
    }

    LICE_MemBitmap given(3, 2, 4);
    LICE_IBitmap* into = LICE_LoadPNGFromMemory(data, len, &given);
    check(!into || into == &given, "a given bitmap is the one returned");
    check(!into == !fresh, "both loads agree");
    if (into && fresh) {
        check(given.getWidth() == fresh->getWidth() && given.getHeight() == fresh->getHeight(),
              "both loads have one size");
        check(sum(&given) == sum(fresh), "both loads have the same pixels");
    }
    delete fresh;
    return 0;
}
