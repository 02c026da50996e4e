// The cost of showing the editor: a whole 436 x 108 view redrawn the way the window layer draws
// it (an image of its draw bitmap drawn into the view's context, then sent to the X server),
// against XPutImage of the same pixels alone, in the same run on the same display. Each
// iteration waits for the server (XSync), so both include the round trip. After the runs a
// line gives the redraw's cost as a multiple of the bare copy.
#include "bench/support/ResultsReporter.h"

#include <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>

#include <benchmark/benchmark.h>

// Xlib defines macros (Bool) that the project's headers use as names: it comes last.
#include "bench/support/BareXPutImage.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int kWidth = 436;
const int kHeight = 108;

// The editor's draw bitmap: one ignored byte, then red, green, blue, top row first.
struct DrawBitmap {
    std::vector<unsigned char> bytes = std::vector<unsigned char>(kWidth * kHeight * 4);
    CGContextRef context = nullptr;
    DrawBitmap() {
        uint32_t seed = 12345;
        for (unsigned char& b : bytes) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<unsigned char>(seed >> 24);
        }
        CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
        context = CGBitmapContextCreate(bytes.data(), kWidth, kHeight, 8, kWidth * 4, space,
                                        kCGImageAlphaNoneSkipFirst);
        CGColorSpaceRelease(space);
    }
};

DrawBitmap& drawBitmap() {
    static DrawBitmap bitmap;
    return bitmap;
}

// Draws the whole draw bitmap over the view, as the window layer's paint does.
class EditorView : public NSView {
public:
    EditorView() : NSView(NSMakeRect(0, 0, kWidth, kHeight)) {}
    BOOL isOpaque() const override { return YES; }
    void drawRect(NSRect) override {
        auto* port = static_cast<CGContextRef>(NSGraphicsContext::currentContext()->graphicsPort());
        CGImageRef image = CGBitmapContextCreateImage(drawBitmap().context);
        CGContextDrawImage(port, CGRectMake(0, 0, kWidth, kHeight), image);
        CGImageRelease(image);
    }
};

struct Scene {
    NSWindow* window = nullptr;
    EditorView* view = nullptr;
    Display* display = nullptr;
    bool ok = false;
    Scene() {
        if (!GrindvoxAppKit_HasDisplay()) return;
        display = static_cast<Display*>(GrindvoxAppKit_Display());
        window = new NSWindow(NSMakeRect(0, 0, kWidth, kHeight), NSBorderlessWindowMask,
                              NSBackingStoreBuffered, NO);
        view = new EditorView;
        window->contentView()->addSubview(view);
        window->makeKeyAndOrderFront(nil);
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.2, false);
        ok = GrindvoxAppKit_XWindowOfView(view) != 0;
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void BM_ViewRedrawAndCopy(benchmark::State& state) {
    Scene& s = scene();
    if (!s.ok) {
        state.SkipWithError("no X display");
        return;
    }
    for (auto _ : state) {
        s.view->setNeedsDisplay(YES);
        s.view->displayIfNeeded();
        XSync(s.display, False);
    }
    NSAutoreleasePool::drainOuterPool();
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ViewRedrawAndCopy)->Unit(benchmark::kMicrosecond);

void BM_BareXPutImage(benchmark::State& state) {
    Scene& s = scene();
    if (!s.ok) {
        state.SkipWithError("no X display");
        return;
    }
    // The same pixels, already in the server's layout: nothing but the copy is measured.
    std::vector<char> pixels(drawBitmap().bytes.begin(), drawBitmap().bytes.end());
    MeasureBareXPutImage(state, s.display, GrindvoxAppKit_XWindowOfView(s.view), pixels.data(),
                         kWidth, kHeight);
}
BENCHMARK(BM_BareXPutImage)->Unit(benchmark::kMicrosecond);

// The view's redraw and copy beside a bare copy of the same size; wall-clock time, as the X
// server does half the work.
class WindowReporter : public ResultsReporter {
public:
    WindowReporter() : ResultsReporter(Clock::kReal) {}

protected:
    void Summarise() override {
        const double redraw = Result("BM_ViewRedrawAndCopy");
        const double bare = Result("BM_BareXPutImage");
        if (redraw <= 0 || bare <= 0) return;
        std::printf("\n436 x 108 redraw and copy: %.1f us, bare XPutImage: %.1f us, ratio %.2f\n",
                    redraw, bare, redraw / bare);
    }
};

} // namespace

int main(int argc, char** argv) {
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    WindowReporter reporter;
    const int status = RunBenchmarks(argc, argv, &reporter);
    pool->drain();
    return status;
}
