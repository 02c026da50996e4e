// The rasteriser's lines and shapes against cairo drawing the same shapes (one pixel wide
// strokes, antialiasing off for the aliased ones) into an image of the same size, and its convex
// fills against pixman compositing the same polygon as trapezoids. Each run draws a batch of
// shapes spread over the image; after the runs a table gives each operation's shapes per second
// and its ratio to the peer.

#include "bench/support/ResultsReporter.h"
#include "raster/LICE_Circle.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_Line.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_Polygon.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const int kSize = 512; // image width and height
const int kBatch = 64; // shapes per run
const double kPi = 3.14159265358979323846;

// One image drawn by both sides: the rasteriser's bitmap, a cairo context and a pixman image
// over a buffer of the same size.
struct Canvas {
    LICE_MemBitmap bm{kSize, kSize};
    std::vector<uint32_t> peer = std::vector<uint32_t>((size_t)kSize * kSize, 0);
    cairo_surface_t* surface;
    cairo_t* cr;
    pixman_image_t *pdest, *solid;
    Canvas() {
        LICE_Clear(&bm, 0);
        surface = cairo_image_surface_create_for_data((unsigned char*)peer.data(),
                                                      CAIRO_FORMAT_ARGB32, kSize, kSize, kSize * 4);
        cr = cairo_create(surface);
        cairo_set_source_rgba(cr, 0.8, 0.6, 0.4, 1.0);
        cairo_set_line_width(cr, 1.0);
        pdest = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSize, kSize, peer.data(), kSize * 4);
        const pixman_color_t c = {0xcccc, 0x9999, 0x6666, 0xffff};
        solid = pixman_image_create_solid_fill(&c);
    }
    ~Canvas() {
        pixman_image_unref(solid);
        pixman_image_unref(pdest);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
};

const LICE_pixel kColour = 0xff6699ccu;

// Deterministic positions for the batch.
struct Spot {
    double x, y, angle;
};
std::vector<Spot> spots() {
    std::vector<Spot> out;
    uint32_t s = 12345;
    auto next = [&]() { return (s = s * 1664525u + 1013904223u) >> 8; };
    for (int i = 0; i < kBatch; ++i)
        out.push_back(
            {(double)(next() % kSize), (double)(next() % kSize), (next() % 3600) * kPi / 1800});
    return out;
}

typedef std::function<void(Canvas&, const Spot&)> Draw;

struct Operation {
    std::string name, peerName;
    Draw lice, peer;
};

// A line of the given length from the spot, alternating shallow and steep slopes.
void lineEnds(const Spot& s, int length, int& x1, int& y1, int& x2, int& y2) {
    const double a = s.angle;
    x1 = (int)s.x, y1 = (int)s.y;
    x2 = x1 + (int)std::lround(length * std::cos(a)),
    y2 = y1 + (int)std::lround(length * std::sin(a));
}

void cairoLine(Canvas& c, const Spot& s, int length, bool aa) {
    int x1, y1, x2, y2;
    lineEnds(s, length, x1, y1, x2, y2);
    cairo_set_antialias(c.cr, aa ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_move_to(c.cr, x1 + 0.5, y1 + 0.5);
    cairo_line_to(c.cr, x2 + 0.5, y2 + 0.5);
    cairo_stroke(c.cr);
}

// The r40 circle at a spot, stroked or filled, as LICE draws it (centred on the pixel).
void cairoCircle(Canvas& c, const Spot& s, cairo_antialias_t aa, bool filled) {
    cairo_set_antialias(c.cr, aa);
    cairo_new_sub_path(c.cr);
    cairo_arc(c.cr, s.x + 0.5, s.y + 0.5, 40.0, 0, 2 * kPi);
    if (filled) {
        cairo_fill(c.cr);
    } else {
        cairo_stroke(c.cr);
    }
}

void cairoRoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

// The hexagon around a spot, and the same as pixman trapezoids (its three bands).
const int kHexRadius = 60;
void hexagon(const Spot& s, int* x, int* y) {
    for (int i = 0; i < 6; ++i) {
        x[i] = (int)std::lround(s.x + kHexRadius * std::cos(kPi / 6 + i * kPi / 3));
        y[i] = (int)std::lround(s.y + kHexRadius * std::sin(kPi / 6 + i * kPi / 3));
    }
}
void hexagonTraps(const Spot& s, pixman_trapezoid_t* t) {
    int x[6], y[6];
    hexagon(s, x, y);
    // Vertices 0..5 clockwise from lower right: 4 is the top, 1 the bottom.
    auto pt = [&](int i) {
        pixman_point_fixed_t p = {pixman_int_to_fixed(x[i]), pixman_int_to_fixed(y[i])};
        return p;
    };
    const int bands[3][5] = {{4, 3, 4, 5, 0}, {3, 2, 5, 0, 0}, {2, 1, 0, 1, 0}};
    const int tops[3] = {y[4], y[3], y[2]}, bottoms[3] = {y[3], y[2], y[1]};
    for (int b = 0; b < 3; ++b) {
        t[b].top = pixman_int_to_fixed(tops[b]);
        t[b].bottom = pixman_int_to_fixed(bottoms[b]);
        t[b].left.p1 = pt(bands[b][0]), t[b].left.p2 = pt(bands[b][1]);
        t[b].right.p1 = pt(bands[b][2]), t[b].right.p2 = pt(bands[b][3]);
    }
}

std::vector<Operation> operations() {
    std::vector<Operation> ops;
    for (int length : {10, 100, 400})
        for (bool aa : {false, true}) {
            const std::string name =
                std::string(aa ? "antialiased" : "aliased") + " line " + std::to_string(length);
            ops.push_back({name, "cairo",
                           [=](Canvas& c, const Spot& s) {
                               int x1, y1, x2, y2;
                               lineEnds(s, length, x1, y1, x2, y2);
                               LICE_Line(&c.bm, x1, y1, x2, y2, kColour, 1.0f, 0, aa);
                           },
                           [=](Canvas& c, const Spot& s) { cairoLine(c, s, length, aa); }});
        }
    for (bool aa : {false, true}) {
        const std::string kind = aa ? "antialiased " : "aliased ";
        const cairo_antialias_t caa = aa ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE;
        ops.push_back({kind + "circle r40", "cairo",
                       [=](Canvas& c, const Spot& s) {
                           LICE_Circle(&c.bm, (float)s.x, (float)s.y, 40.0f, kColour, 1.0f, 0, aa);
                       },
                       [=](Canvas& c, const Spot& s) { cairoCircle(c, s, caa, false); }});
        ops.push_back({kind + "filled circle r40", "cairo",
                       [=](Canvas& c, const Spot& s) {
                           LICE_FillCircle(&c.bm, (float)s.x, (float)s.y, 40.0f, kColour, 1.0f, 0,
                                           aa);
                       },
                       [=](Canvas& c, const Spot& s) { cairoCircle(c, s, caa, true); }});
        ops.push_back({kind + "round rect 120x80 r12", "cairo",
                       [=](Canvas& c, const Spot& s) {
                           LICE_RoundRect(&c.bm, (float)s.x, (float)s.y, 120, 80, 12, kColour, 1.0f,
                                          0, aa);
                       },
                       [=](Canvas& c, const Spot& s) {
                           cairo_set_antialias(c.cr, caa);
                           cairoRoundRect(c.cr, s.x + 0.5, s.y + 0.5, 120, 80, 12);
                           cairo_stroke(c.cr);
                       }});
    }
    ops.push_back({"convex hexagon r60", "pixman",
                   [](Canvas& c, const Spot& s) {
                       int x[6], y[6];
                       hexagon(s, x, y);
                       LICE_FillConvexPolygon(&c.bm, x, y, 6, kColour, 1.0f, 0);
                   },
                   [](Canvas& c, const Spot& s) {
                       pixman_trapezoid_t t[3];
                       hexagonTraps(s, t);
                       pixman_composite_trapezoids(PIXMAN_OP_OVER, c.solid, c.pdest, PIXMAN_a1, 0,
                                                   0, 0, 0, 3, t);
                   }});
    ops.push_back({"convex hexagon r60", "cairo",
                   [](Canvas& c, const Spot& s) {
                       int x[6], y[6];
                       hexagon(s, x, y);
                       LICE_FillConvexPolygon(&c.bm, x, y, 6, kColour, 1.0f, 0);
                   },
                   [](Canvas& c, const Spot& s) {
                       int x[6], y[6];
                       hexagon(s, x, y);
                       cairo_set_antialias(c.cr, CAIRO_ANTIALIAS_NONE);
                       cairo_move_to(c.cr, x[0], y[0]);
                       for (int i = 1; i < 6; ++i)
                           cairo_line_to(c.cr, x[i], y[i]);
                       cairo_close_path(c.cr);
                       cairo_fill(c.cr);
                   }});
    return ops;
}

// Collects the rates of every run for the closing table.
class RatioReporter : public ResultsReporter {
public:
    RatioReporter() : ResultsReporter("shapes/s") {}

    static std::string key(const Operation& op, bool peer) {
        return op.name + "/" + (peer ? op.peerName : "lice");
    }
    std::vector<Operation> mOps;

protected:
    void Summarise() override {
        printf("\n%-34s %14s %14s %-7s %8s\n", "shape (512 x 512 image)", "LICE shapes/s",
               "peer shapes/s", "peer", "ratio");
        for (const Operation& op : mOps) {
            const double l = Result(key(op, false)), p = Result(key(op, true));
            printf("%-34s %14.0f %14.0f %-7s %8.2f\n", op.name.c_str(), l, p, op.peerName.c_str(),
                   p > 0 ? l / p : 0.0);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    reporter.mOps = operations();
    static const std::vector<Spot> batch = spots();
    std::set<std::string> registered;
    for (const Operation& op : reporter.mOps)
        for (bool peer : {false, true}) {
            // An operation measured against two peers runs its own side once.
            if (!registered.insert(RatioReporter::key(op, peer)).second) continue;
            const Draw draw = peer ? op.peer : op.lice;
            benchmark::RegisterBenchmark(
                RatioReporter::key(op, peer).c_str(), [draw](benchmark::State& st) {
                    Canvas c;
                    for (auto _ : st) {
                        for (const Spot& s : batch)
                            draw(c, s);
                        benchmark::ClobberMemory();
                    }
                    st.counters["shapes/s"] =
                        benchmark::Counter(kBatch, benchmark::Counter::kIsIterationInvariantRate);
                });
        }
    return RunBenchmarks(argc, argv, &reporter);
}
