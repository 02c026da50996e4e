#pragma once

// The baseline of the window benchmarks: nothing but the copy of w x h pixels, already in the
// server's 32-bit layout, into the window, waiting for the server each time. Include it after
// the project's headers: Xlib defines macros (Bool) they use as names.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

inline void MeasureBareXPutImage(benchmark::State& state, Display* display, Window target,
                                 char* pixels, int w, int h) {
    const int screen = DefaultScreen(display);
    XImage* image = XCreateImage(display, DefaultVisual(display, screen),
                                 static_cast<unsigned>(DefaultDepth(display, screen)), ZPixmap, 0,
                                 pixels, w, h, 32, w * 4);
    GC gc = XCreateGC(display, target, 0, nullptr);
    for (auto _ : state) {
        XPutImage(display, target, gc, image, 0, 0, 0, 0, w, h);
        XSync(display, False);
    }
    XFreeGC(display, gc);
    // The pixels are the caller's.
    image->data = nullptr;
    XDestroyImage(image);
    state.SetItemsProcessed(state.iterations() * w * h);
}
