// The rasteriser's blits and fills against pixman doing the equivalent operation on a
// b8g8r8a8 image (the same byte order) and against memcpy of the same bytes, at the editor's
// size and at 1024 x 1024. After the runs a table gives each operation's megapixels per second
// and its ratios to pixman and to memcpy.

#include "bench/support/ResultsReporter.h"
#include "raster/LICE_Blit.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_RotatedBlit.h"
#include "raster/LICE_ScaledBlit.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Size {
    int w, h;
    std::string name() const { return std::to_string(w) + "x" + std::to_string(h); }
};

void randomise(LICE_IBitmap& bm, uint32_t seed) {
    LICE_pixel* p = bm.getBits();
    for (int i = 0; i < bm.getRowSpan() * bm.getHeight(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        p[i] = seed ^ (seed >> 13);
    }
}

// A pixman image over a bitmap's pixels (no copy).
pixman_image_t* wrap(LICE_IBitmap& bm) {
    return pixman_image_create_bits(PIXMAN_b8g8r8a8, bm.getWidth(), bm.getHeight(),
                                    (uint32_t*)bm.getBits(), bm.getRowSpan() * 4);
}

struct Images {
    LICE_MemBitmap dest, src;
    pixman_image_t *pdest = nullptr, *psrc = nullptr;
    Images(int dw, int dh, int sw, int sh) : dest(dw, dh), src(sw, sh) {
        randomise(dest, 1), randomise(src, 2);
        pdest = wrap(dest), psrc = wrap(src);
    }
    ~Images() {
        pixman_image_unref(pdest);
        pixman_image_unref(psrc);
    }
};

pixman_image_t* solidAlpha(double a) {
    const uint16_t v = (uint16_t)(a * 0xffff);
    const pixman_color_t c = {v, v, v, v};
    return pixman_image_create_solid_fill(&c);
}

void setTransform(pixman_image_t* img, const pixman_transform_t& t) {
    pixman_image_set_transform(img, &t);
    pixman_image_set_filter(img, PIXMAN_FILTER_BILINEAR, nullptr, 0);
}

typedef std::function<void(Images&)> Work;

struct Operation {
    std::string name;
    double srcScale; // source size relative to the destination
    Work lice, pixman;
};

std::vector<Operation> operations() {
    std::vector<Operation> ops;
    auto add = [&](std::string name, double srcScale, Work lice, Work pix) {
        ops.push_back({name, srcScale, lice, pix});
    };
    auto composite = [](pixman_op_t op, pixman_image_t* mask) {
        return [op, mask](Images& im) {
            pixman_image_composite32(op, im.psrc, mask, im.pdest, 0, 0, 0, 0, 0, 0,
                                     im.dest.getWidth(), im.dest.getHeight());
        };
    };
    static pixman_image_t* half = solidAlpha(0.5);
    static pixman_image_t* most = solidAlpha(0.7);
    add(
        "copy blit", 1, [](Images& im) { LICE_Blit(&im.dest, &im.src, 0, 0, nullptr, 1.0f, 0); },
        composite(PIXMAN_OP_SRC, nullptr));
    add(
        "50% blit", 1, [](Images& im) { LICE_Blit(&im.dest, &im.src, 0, 0, nullptr, 0.5f, 0); },
        composite(PIXMAN_OP_OVER, half));
    add(
        "source-alpha blit 256", 1,
        [](Images& im) {
            LICE_Blit(&im.dest, &im.src, 0, 0, nullptr, 1.0f, LICE_USE_SOURCE_ALPHA);
        },
        composite(PIXMAN_OP_OVER, nullptr));
    add(
        "source-alpha blit 0.7", 1,
        [](Images& im) {
            LICE_Blit(&im.dest, &im.src, 0, 0, nullptr, 0.7f, LICE_USE_SOURCE_ALPHA);
        },
        composite(PIXMAN_OP_OVER, most));
    add(
        "additive blit", 1,
        [](Images& im) { LICE_Blit(&im.dest, &im.src, 0, 0, nullptr, 1.0f, LICE_COMBINE_ADD); },
        composite(PIXMAN_OP_ADD, nullptr));
    add(
        "fill 1.0", 1,
        [](Images& im) {
            LICE_FillRect(&im.dest, 0, 0, im.dest.getWidth(), im.dest.getHeight(), 0x80402010u,
                          1.0f, 0);
        },
        [](Images& im) {
            pixman_fill((uint32_t*)im.dest.getBits(), im.dest.getRowSpan(), 32, 0, 0,
                        im.dest.getWidth(), im.dest.getHeight(), 0x80402010u);
        });
    add(
        "fill 0.7", 1,
        [](Images& im) {
            LICE_FillRect(&im.dest, 0, 0, im.dest.getWidth(), im.dest.getHeight(), 0x80402010u,
                          0.7f, 0);
        },
        [](Images& im) {
            static const pixman_color_t c = {0x4000, 0x2000, 0x1000, 0xb333};
            static pixman_image_t* solid = pixman_image_create_solid_fill(&c);
            pixman_image_composite32(PIXMAN_OP_OVER, solid, nullptr, im.pdest, 0, 0, 0, 0, 0, 0,
                                     im.dest.getWidth(), im.dest.getHeight());
        });
    auto scaled = [](Images& im) {
        LICE_ScaledBlit(&im.dest, &im.src, 0, 0, im.dest.getWidth(), im.dest.getHeight(), 0, 0,
                        (float)im.src.getWidth(), (float)im.src.getHeight(), 1.0f,
                        LICE_FILTER_BILINEAR);
    };
    auto pixScaled = [](Images& im) {
        pixman_transform_t t;
        pixman_transform_init_scale(
            &t, pixman_double_to_fixed((double)im.src.getWidth() / im.dest.getWidth()),
            pixman_double_to_fixed((double)im.src.getHeight() / im.dest.getHeight()));
        setTransform(im.psrc, t);
        pixman_image_composite32(PIXMAN_OP_SRC, im.psrc, nullptr, im.pdest, 0, 0, 0, 0, 0, 0,
                                 im.dest.getWidth(), im.dest.getHeight());
    };
    add("scaled bilinear x1.5", 1 / 1.5, scaled, pixScaled);
    add("scaled filtered x0.5", 2, scaled, pixScaled);
    add(
        "rotated bilinear", 1,
        [](Images& im) {
            LICE_RotatedBlit(&im.dest, &im.src, 0, 0, im.dest.getWidth(), im.dest.getHeight(), 0, 0,
                             (float)im.src.getWidth(), (float)im.src.getHeight(), 0.3f, false, 1.0f,
                             LICE_FILTER_BILINEAR, 0, 0);
        },
        [](Images& im) {
            const double cx = im.src.getWidth() / 2.0, cy = im.src.getHeight() / 2.0;
            pixman_transform_t t;
            pixman_transform_init_translate(&t, pixman_double_to_fixed(-cx),
                                            pixman_double_to_fixed(-cy));
            pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(0.3)),
                                    pixman_double_to_fixed(-std::sin(0.3)));
            pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(cx),
                                       pixman_double_to_fixed(cy));
            setTransform(im.psrc, t);
            pixman_image_composite32(PIXMAN_OP_SRC, im.psrc, nullptr, im.pdest, 0, 0, 0, 0, 0, 0,
                                     im.dest.getWidth(), im.dest.getHeight());
        });
    return ops;
}

// Collects the rates of every run for the closing table.
class RatioReporter : public ResultsReporter {
public:
    RatioReporter() : ResultsReporter("MPix/s") {}

    std::vector<Size> mSizes;
    std::vector<Operation> mOps;

protected:
    void Summarise() override {
        printf("\n%-24s %-10s %12s %12s %10s %10s\n", "operation", "size", "LICE MPix/s", "pixman",
               "/ pixman", "/ memcpy");
        for (const Size& s : mSizes) {
            const double mem = Result("memcpy/" + s.name());
            for (const Operation& op : mOps) {
                const double l = Result(op.name + "/" + s.name() + "/lice");
                const double p = Result(op.name + "/" + s.name() + "/pixman");
                printf("%-24s %-10s %12.1f %12.1f %10.2f %10.2f\n", op.name.c_str(),
                       s.name().c_str(), l, p, p > 0 ? l / p : 0.0, mem > 0 ? l / mem : 0.0);
            }
            printf("%-24s %-10s %12.1f\n", "memcpy", s.name().c_str(), mem);
        }
    }
};

void setRate(benchmark::State& state, int w, int h) {
    state.counters["MPix/s"] =
        benchmark::Counter(w * (double)h / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    reporter.mSizes = {{436, 108}, {1024, 1024}};
    reporter.mOps = operations();
    for (const Size& s : reporter.mSizes) {
        benchmark::RegisterBenchmark(("memcpy/" + s.name()).c_str(), [s](benchmark::State& st) {
            std::vector<LICE_pixel> a((size_t)s.w * s.h, 1), b((size_t)s.w * s.h, 2);
            for (auto _ : st) {
                memcpy(b.data(), a.data(), a.size() * sizeof(LICE_pixel));
                benchmark::ClobberMemory();
            }
            setRate(st, s.w, s.h);
        });
        for (const Operation& op : reporter.mOps) {
            const int sw = (int)std::lround(s.w * op.srcScale);
            const int sh = (int)std::lround(s.h * op.srcScale);
            for (int which = 0; which < 2; ++which) {
                const std::string name = op.name + "/" + s.name() + (which ? "/pixman" : "/lice");
                const Work work = which ? op.pixman : op.lice;
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& st) {
                    Images im(s.w, s.h, sw, sh);
                    for (auto _ : st) {
                        work(im);
                        benchmark::ClobberMemory();
                    }
                    setRate(st, s.w, s.h);
                });
            }
        }
    }
    return RunBenchmarks(argc, argv, &reporter);
}
